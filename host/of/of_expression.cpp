#include "host/of/of_expression.h"

#include <vector>

#include "host/core/core_log.h"
#include "host/of/of_context.h"
#include "host/of/of_handle.h"
#include "host/of/of_object_factory.h"

namespace {

bool is_name_start(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool is_name_char(char c)
{
    return is_name_start(c) || (c >= '0' && c <= '9');
}

}  // namespace

bool OfExpression::expand_variables(CoreBasicString const& text,
                                    CoreHashTableDense<CoreString, CoreString> const& vars,
                                    CoreString& result)
{
    std::string_view t = text.view();
    std::string out;
    bool ok = true;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] != '$') {
            out += t[i];
            continue;
        }
        if (i + 1 < t.size() && t[i + 1] == '$') {
            out += '$';
            ++i;
            continue;
        }
        size_t start = i + 1;
        bool braced = start < t.size() && t[start] == '{';
        if (braced) ++start;
        size_t end = start;
        if (end < t.size() && is_name_start(t[end]))
            while (end < t.size() && is_name_char(t[end])) ++end;
        if (end == start || (braced && (end >= t.size() || t[end] != '}'))) {
            ok = false;
            out += t.substr(i, end - i);
            i = end - 1;
            continue;
        }
        CoreString value;
        if (!vars.get(CoreString(t.substr(start, end - start)), value)) ok = false;
        out += value.view();
        i = braced ? end : end - 1;
    }
    result = CoreString(out);
    return ok;
}

bool OfExpression::compute(CoreBasicString const& text, OfObjectFactory const& factory,
                           OfContext const* context, CoreString& path, CoreString& error)
{
    CoreString expanded;
    if (!expand_variables(text, factory.get_vars(), expanded)) {
        error = CoreString("unknown or malformed variable in \"") + text + "\"";
        return false;
    }
    if (expanded.is_empty()) {
        error = "empty path";
        return false;
    }
    // Levels of the absolute path, from the root down.
    std::vector<std::string> levels;
    if (expanded[0] != '/') {
        CoreString base = (context ? *context : factory.get_default()).get_full_name();
        for (CoreString const& level : base.split("/")) levels.push_back(level.std_string());
    }
    CoreVector<CoreString> parts = expanded.split("/");
    for (unsigned int i = 0; i < parts.get_count(); ++i) {
        std::string level = parts[i].std_string();
        if (level == ".") continue;
        if (level == "..") {
            if (levels.empty()) {
                error = CoreString("\"") + text + "\" goes above the root";
                return false;
            }
            levels.pop_back();
            continue;
        }
        levels.push_back(level);
    }
    std::string result;
    for (std::string const& level : levels) result += "/" + level;
    path = CoreString(result.empty() ? std::string("/") : result);
    return true;
}

CoreString OfExpression::compute_path(CoreBasicString const& text, OfObjectFactory const& factory,
                                      OfContext const* context)
{
    CoreString path, error;
    if (!compute(text, factory, context, path, error)) {
        CORE_LOG_WARNING("OfExpression.compute_path: " << error << "\n");
        return CoreString();
    }
    return path;
}

bool OfExpression::is_valid(CoreBasicString const& text, OfObjectFactory const& factory,
                            OfContext const* context)
{
    CoreString path, error;
    if (!compute(text, factory, context, path, error)) return false;
    return !factory.get_handle(path).is_null();
}
