#pragma once
// Item paths typed by users: variables are expanded, then the path is made absolute and
// normalised.
//
//     $PDIR/textures, ${PDIR}/textures    the value of the factory's variable PDIR
//     $$                                  a '$'
//     sphere1, ./sphere1, ../lights/key   relative to a context (the default context)
//     /geometry//sphere1/                 "/geometry/sphere1"
//
// A variable name is a letter or '_' followed by letters, digits and '_'. An unknown
// variable, a "${" without its "}" or a "$" followed by no name makes the text invalid.
#include "host/core/core_export.h"
#include "host/core/core_hash_table.h"
#include "host/core/core_string.h"

class OfContext;
class OfObjectFactory;

class QN_HOST_API OfExpression {
public:
    // Replaces the variables of `text` by their values; false (with `result` holding what
    // could be expanded) when the text is invalid.
    static bool expand_variables(CoreBasicString const& text,
                                 CoreHashTableDense<CoreString, CoreString> const& vars, CoreString& result);
    // The absolute, normalised item path `text` names from `context` (the factory's default
    // context when null), whether an item has it or not; the plug part (".attr", ">output")
    // is kept. "" with a message when the text is invalid or goes above the root.
    static CoreString compute_path(CoreBasicString const& text, OfObjectFactory const& factory,
                                   OfContext const* context = nullptr);
    // True when the text is valid and names an item, attribute or output of the factory.
    static bool is_valid(CoreBasicString const& text, OfObjectFactory const& factory,
                         OfContext const* context = nullptr);

private:
    // compute_path without messages; false when invalid.
    static bool compute(CoreBasicString const& text, OfObjectFactory const& factory, OfContext const* context,
                        CoreString& path, CoreString& error);
};
