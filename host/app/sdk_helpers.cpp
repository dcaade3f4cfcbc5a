#include "host/app/sdk_helpers.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "host/app/app_builtin_commands.h"
#include "host/app/app_object.h"
#include "host/app/app_preferences.h"
#include "host/app/app_selection.h"
#include "host/core/core_hash_table.h"
#include "host/core/core_log.h"
#include "host/core/core_set.h"
#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "host/of/of_plug_type.h"
#include "host/of/of_scene_edit.h"
#include "host/parser/parser_group.h"

CORE_IMPLEMENT_CLASS(SdkHelpers, CoreBaseObject)

namespace {

using Commands = AppBuiltinCommands;

// The interactive application of a scene; null (with a message) when it has none.
AppObject* get_app(char const* operation, OfObjectFactory const& scene)
{
    OfApp* app = scene.get_application();
    if (app && app->is_kindof(AppObject::class_info())) return static_cast<AppObject*>(app);
    CORE_LOG_WARNING(operation << ": the scene does not belong to an interactive application\n");
    return nullptr;
}

// Runs `body` as one undo step labelled `label` and returns what it returns.
template <class Body>
auto in_batch(OfObjectFactory& scene, char const* label, Body const& body)
{
    OfCommandManager& commands = scene.get_command_manager();
    commands.begin_batch(label);
    auto result = body();
    commands.end_batch();
    return result;
}

bool holds(OfItem const& holder, OfItem const& item)
{
    for (OfItem const* current = item.get_holder(); current; current = current->get_holder())
        if (current == &holder) return true;
    return false;
}

// The items that do not lie inside another of them, each once, in order.
CoreVector<OfItem*> get_top_items(CoreBasicArray<OfItem*> const& items)
{
    CoreSet<OfItem*> given;
    for (OfItem* item : items) given.add(item);
    CoreVector<OfItem*> result;
    CoreSet<OfItem*> done;
    for (OfItem* item : items) {
        if (!done.add(item)) continue;
        bool inside = false;
        for (OfItem* holder = item->get_holder(); holder && !inside; holder = holder->get_holder())
            inside = given.has(holder);
        if (!inside) result.add(item);
    }
    return result;
}

// The centre of the items' node-graph positions.
GMathVec2<double> get_centre(CoreBasicArray<OfItem*> const& items)
{
    GMathVec2<double> sum;
    for (OfItem* item : items) sum = sum + item->get_position();
    return sum * (1.0 / items.get_count());
}

// Shadowed items, and what they hold, are the framework's own (the build context).
bool is_internal(OfItem const& item)
{
    for (OfItem const* current = &item; current; current = current->get_holder())
        if (current->is_shadowed()) return true;
    return false;
}

bool not_available(char const* operation)
{
    CORE_LOG_WARNING(operation << ": not available in this application\n");
    return false;
}

// Refuses locked and embedded items, which cannot be copied; one message.
bool check_copyable(char const* operation, CoreBasicArray<OfItem*> const& items)
{
    for (OfItem* item : items) {
        OfObject* object = item->to_object();
        if (item->is_locked() || (object && object->get_parent())) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name() << " cannot be copied ("
                                       << (item->is_locked() ? "locked" : "embedded in an object") << ")\n");
            return false;
        }
    }
    return true;
}

// Objects of the item's subtree, the item itself included when it is an object; embedded
// objects only with `embedded`.
void collect_objects(OfItem& item, bool const& embedded, CoreVector<OfObject*>& objects)
{
    if (OfObject* object = item.to_object()) {
        objects.add(object);
        if (embedded)
            for (OfObject* child : object->get_embedded_objects()) collect_objects(*child, embedded, objects);
        return;
    }
    OfContext* context = item.to_context();
    for (OfContext* child : context->get_contexts()) collect_objects(*child, embedded, objects);
    for (OfObject* object : context->get_objects()) collect_objects(*object, embedded, objects);
}

// Clipboard --------------------------------------------------------------------------------
//
// The clipboard holds one entry per copied item, "context" or "object", with the item's name
// and a group: "path" (its full name when copied, to remap links), "engine" (contexts) or
// "class" (objects), "flags" (disabled, shadowed, hidden, then reference and override for
// contexts), optional "comment", "colortag", "position", "source" and "attrs"
// (OfObject::serialize), then the entries of what it holds.

void serialize_item(OfItem const& item, ParserGroup& group)
{
    OfContext const* context = item.to_context();
    OfObject const* object = item.to_object();
    ParserEntry& entry = group.add_entry(context ? "context" : "object");
    entry.add_string(item.get_name());
    ParserGroup& body = entry.add_group();
    body.add_entry("path").add_string(item.get_full_name());
    if (context) {
        body.add_entry("engine").add_string(OfContextEngine::get_kind_name(context->get_engine().get_kind()));
    } else {
        body.add_entry("class").add_string(object->get_class_name());
    }
    ParserEntry& flags = body.add_entry("flags");
    flags.add_bool(item.is_disabled()).add_bool(item.is_shadowed()).add_bool(item.is_hidden());
    if (context) flags.add_bool(context->is_reference()).add_bool(context->is_override());
    if (!item.get_comment().is_empty()) body.add_entry("comment").add_string(item.get_comment());
    if (item.get_colortag()) body.add_entry("colortag").add_int(item.get_colortag());
    if (item.get_position() != GMathVec2<double>()) body.add_entry("position").add_vec2d(item.get_position());
    if (context) {
        for (OfContext const* child : context->get_contexts()) serialize_item(*child, body);
        for (OfObject const* child : context->get_objects()) serialize_item(*child, body);
        return;
    }
    if (OfObject const* source = object->get_source())
        body.add_entry("source").add_string(source->get_full_name());
    ParserGroup attrs;
    object->serialize(attrs);
    if (!attrs.is_empty()) body.add_entry("attrs").add_group(attrs);
    for (OfObject const* child : object->get_embedded_objects()) serialize_item(*child, body);
}

// One item of the clipboard, and what was made of it.
struct PasteRecord {
    ParserGroup const* body = nullptr;
    CoreString name;
    CoreString path;
    OfClass const* of_class = nullptr;                           // objects
    OfContextEngine::Kind kind = OfContextEngine::KIND_PROJECT;  // contexts
    std::vector<std::unique_ptr<PasteRecord>> children;
    OfItem* made = nullptr;
};

bool get_flag(ParserGroup const& body, unsigned int const& index)
{
    ParserEntry const* flags = body.get_entry("flags");
    return flags && flags->is_value_bool(index) && flags->get_bool(index);
}

// Reads one clipboard entry (and what it holds) into `record`; false, with `error` set, when
// it is not one this scene can make.
bool read_record(ParserEntry const& entry, OfObjectFactory const& scene, bool const& embedded,
                 PasteRecord& record, CoreString& error)
{
    bool context = entry.get_name() == "context";
    ParserGroup const* body = entry.get_group(1);
    if ((!context && entry.get_name() != "object") || !entry.is_value_string(0) || !body) {
        error = CoreString("unexpected entry \"") + entry.get_name() + "\"";
        return false;
    }
    record.body = body;
    record.name = entry.get_string(0);
    if (!OfItem::is_valid_name(record.name)) {
        error = CoreString("invalid item name \"") + record.name + "\"";
        return false;
    }
    if (ParserEntry const* path = body->get_entry("path"); path && path->is_value_string(0))
        record.path = path->get_string(0);
    if (context) {
        if (embedded) {
            error = CoreString("context \"") + record.name + "\" inside an object";
            return false;
        }
        ParserEntry const* engine = body->get_entry("engine");
        CoreString kind = engine && engine->is_value_string(0) ? engine->get_string(0) : CoreString();
        int found = -1;
        for (int k = 0; k < OfContextEngine::KIND_COUNT; ++k)
            if (kind == OfContextEngine::get_kind_name(static_cast<OfContextEngine::Kind>(k))) found = k;
        if (found < 0) {
            error = CoreString("unknown context kind \"") + kind + "\"";
            return false;
        }
        record.kind = static_cast<OfContextEngine::Kind>(found);
    } else {
        ParserEntry const* class_entry = body->get_entry("class");
        CoreString class_name =
            class_entry && class_entry->is_value_string(0) ? class_entry->get_string(0) : CoreString();
        record.of_class = scene.get_classes().get(class_name);
        if (!record.of_class || record.of_class->is_abstract() ||
            (!embedded && record.of_class->is_embedded_only())) {
            error = CoreString("no class \"") + class_name + "\" for objects like \"" + record.name + "\"";
            return false;
        }
    }
    for (unsigned int i = 0; i < body->get_entry_count(); ++i) {
        ParserEntry const* child = body->get_entry(i);
        if (child->get_name() != "context" && child->get_name() != "object") continue;
        auto child_record = std::make_unique<PasteRecord>();
        if (!read_record(*child, scene, !context, *child_record, error)) return false;
        record.children.push_back(std::move(child_record));
    }
    return true;
}

// Makes the clipboard's records in a scene (see paste_items).
class Paster {
public:
    explicit Paster(OfObjectFactory& scene) : m_scene(scene) {}

    void index(PasteRecord& record)
    {
        m_all.push_back(&record);
        if (!record.path.is_empty()) m_by_path.set(record.path, &record);
        for (auto& child : record.children) index(*child);
    }

    void make(PasteRecord& record, OfContext& context, OfObject* parent)
    {
        if (record.of_class == nullptr) {
            record.made = m_scene.create_context(record.name, &context, record.kind);
            if (!record.made) return;
            for (auto& child : record.children) make(*child, *record.made->to_context(), nullptr);
            return;
        }
        if (parent) {
            record.made = parent->add_embedded_object(record.of_class->get_name(), record.name);
        } else {
            ParserEntry const* source_entry = record.body->get_entry("source");
            CoreString source =
                source_entry && source_entry->is_value_string(0) ? source_entry->get_string(0) : CoreString();
            if (!source.is_empty()) {
                if (PasteRecord* const* copied = m_by_path.get(source)) {
                    // Instance of another pasted object: wait for that one to be made.
                    if (!(*copied)->made) {
                        m_deferred.emplace_back(&record, &context);
                        return;
                    }
                    record.made =
                        m_scene.create_instance(*(*copied)->made->to_object(), record.name, &context);
                } else if (OfObject* original = m_scene.get_object(source);
                           original && !original->get_parent() && &original->get_class() == record.of_class) {
                    record.made = m_scene.create_instance(*original, record.name, &context);
                }
            }
            if (!record.made)
                record.made = m_scene.create_object(record.of_class->get_name(), record.name, &context);
        }
        make_embedded(record, context);
    }

    void make_deferred()
    {
        bool progress = true;
        while (!m_deferred.empty() && progress) {
            progress = false;
            auto pending = std::move(m_deferred);
            m_deferred.clear();
            for (auto const& [record, context] : pending) {
                ParserEntry const* source_entry = record->body->get_entry("source");
                PasteRecord* source = *m_by_path.get(source_entry->get_string(0));
                if (!source->made) {
                    m_deferred.emplace_back(record, context);
                    continue;
                }
                progress = true;
                record->made = m_scene.create_instance(*source->made->to_object(), record->name, context);
                make_embedded(*record, *context);
            }
        }
    }

    // Links: full names of copied items (and of their plugs) lead to what was made of them.
    // The longest leading part of `text` that is a copied item's path counts (the text
    // itself, or a part ending before a '/', '.' or '>').
    CoreString remap(CoreString const& text) const
    {
        for (unsigned int length = text.get_length(); length > 0; --length) {
            if (length < text.get_length()) {
                char const next = text[length];
                if (next != '/' && next != '.' && next != '>') continue;
            }
            PasteRecord* const* found = m_made_by_path.get(text.sub_string(0, length));
            if (found) return (*found)->made->get_full_name() + text.sub_string(length);
        }
        return text;
    }

    // Indexes the records made, by path, for remap; the first of a path counts.
    void index_made()
    {
        for (PasteRecord* record : m_all)
            if (record->made && !record->path.is_empty()) m_made_by_path.add(record->path, record);
    }

    void set_attrs()
    {
        for (PasteRecord* record : m_all) {
            OfObject* object = record->made ? record->made->to_object() : nullptr;
            ParserEntry const* attrs_entry = object ? record->body->get_entry("attrs") : nullptr;
            ParserGroup const* attrs = attrs_entry ? attrs_entry->get_group(0) : nullptr;
            if (!attrs) continue;
            ParserGroup values = *attrs;
            for (unsigned int e = 0; e < values.get_entry_count(); ++e) {
                ParserEntry* attr_entry = values.get_entry(e);
                ParserGroup* attr_body = attr_entry->get_group(0);
                int index = object->get_class().get_attr_index(attr_entry->get_name());
                if (!attr_body || index < 0) continue;
                OfPlugType::Type type =
                    object->get_class().get_attr_decl(static_cast<unsigned int>(index))->get_type();
                ParserEntry* list = attr_body->get_entry("values");
                if (list && (type == OfPlugType::TYPE_REFERENCE || type == OfPlugType::TYPE_OBJECT)) {
                    ParserEntry remapped("values");
                    for (unsigned int v = 0; v < list->get_value_count(); ++v) {
                        CoreString path =
                            list->is_value_string(v) ? remap(list->get_string(v)) : CoreString();
                        // References to objects that are gone are left empty.
                        remapped.add_string(m_scene.get_object(path) ? path : CoreString());
                    }
                    *list = remapped;
                }
                if (ParserEntry* input = attr_body->get_entry("input")) {
                    CoreString path = input->is_value_string(0) ? remap(input->get_string(0)) : CoreString();
                    if (m_scene.get_output(path) || m_scene.get_object(path)) {
                        ParserEntry remapped("input");
                        remapped.add_string(path);
                        *input = remapped;
                    } else {
                        attr_body->remove_entry("input");
                    }
                }
            }
            object->deserialize(values);
        }
    }

    // Fields and flags; reference and override last and innermost first, since a reference
    // context refuses changes inside it.
    void set_fields(PasteRecord& record)
    {
        for (auto& child : record.children) set_fields(*child);
        OfItem* item = record.made;
        if (!item) return;
        ParserGroup const& body = *record.body;
        if (ParserEntry const* comment = body.get_entry("comment"); comment && comment->is_value_string(0))
            item->set_comment(comment->get_string(0));
        if (ParserEntry const* tag = body.get_entry("colortag");
            tag && tag->is_value_int(0) && tag->get_int(0) > 0)
            item->set_colortag(static_cast<unsigned int>(tag->get_int(0)));
        if (ParserEntry const* position = body.get_entry("position"); position && position->is_value_vec2d(0))
            item->set_position(position->get_vec2d(0));
        if (get_flag(body, 0)) item->set_disabled(true);
        if (get_flag(body, 1)) item->set_shadowed(true);
        if (get_flag(body, 2)) item->set_hidden(true);
        if (OfContext* context = item->to_context()) {
            if (get_flag(body, 3)) context->set_reference(true);
            if (get_flag(body, 4)) context->set_override(true);
        }
    }

private:
    void make_embedded(PasteRecord& record, OfContext& context)
    {
        if (!record.made) return;
        for (auto& child : record.children) make(*child, context, record.made->to_object());
    }

    OfObjectFactory& m_scene;
    std::vector<PasteRecord*> m_all;
    CoreHashTableDense<CoreString, PasteRecord*> m_by_path;
    CoreHashTableDense<CoreString, PasteRecord*> m_made_by_path;
    std::vector<std::pair<PasteRecord*, OfContext*>> m_deferred;
};

// Commands made here ----------------------------------------------------------------------

// An instance leaving its source (the values it read were made its own beforehand).
class CmdLeaveSource : public OfCommand {
public:
    explicit CmdLeaveSource(OfObject& object) : m_object(&object), m_source(object.get_source()) {}
    bool run() override
    {
        if (!m_source) return false;
        m_index = OfSceneEdit::unlink_source(*m_object, true);
        return true;
    }
    void undo() override { OfSceneEdit::link_source(*m_object, *m_source, m_index, true); }
    void redo() override { OfSceneEdit::unlink_source(*m_object, true); }
    CoreString get_label() const override { return "Make Local"; }
    size_t get_memory_size() const override { return sizeof(*this); }

private:
    OfObject* m_object;
    OfObject* m_source;
    int m_index = -1;
};

// Gives an object the values it reads as its own, then takes it away from its source.
void make_instance_local(OfObject& object)
{
    for (unsigned int i = 0; i < object.get_attr_count(); ++i) {
        OfAttr* attr = object.get_attr(i);
        if (!attr->is_local()) attr->set_values(attr->get_values());
    }
    object.get_factory().get_command_manager().run(std::make_unique<CmdLeaveSource>(object));
}

// Drops every value an instance holds of its own.
void revert_instance(OfObject& object)
{
    if (!object.get_source()) return;
    for (unsigned int i = 0; i < object.get_attr_count(); ++i) object.get_attr(i)->revert();
}

// A link to an object from outside: attribute `attr` of `holder` holds it as reference value
// `value`, or (value -1) as its input, through output `output` (-1 for the object itself).
struct Link {
    OfObjectHandle holder;
    unsigned int attr;
    int value;
    int output;
};

CoreVector<Link> get_links_to(OfObject& object, CoreSet<OfItem*> const& ignored)
{
    CoreVector<Link> links;
    for (OfObject* holder : object.get_dependents()) {
        if (ignored.has(holder)) continue;
        for (unsigned int i = 0; i < holder->get_attr_count(); ++i) {
            OfAttrData const* data = holder->get_attr(i)->get_data();
            if (!data) continue;
            if (data->local && data->values.get_type() == OfPlugType::TYPE_REFERENCE) {
                for (unsigned int v = 0; v < data->values.get_count(); ++v)
                    if (data->values.get_object(v) == &object)
                        links.add(Link{holder, i, static_cast<int>(v), -1});
            }
            if (data->input == &object) links.add(Link{holder, i, -1, data->input_output});
        }
    }
    return links;
}

void relink(CoreVector<Link> const& links, OfObject& target)
{
    for (Link const& link : links) {
        OfObject* holder = link.holder.to_object();
        if (!holder) continue;
        OfAttr* attr = holder->get_attr(link.attr);
        if (link.value >= 0) {
            CoreString const& filter = attr->get_object_filter();
            if (filter.is_empty() || target.is_kindof(filter))
                attr->set_object(&target, static_cast<unsigned int>(link.value));
        } else if (link.output < 0) {
            attr->connect(target);
        } else if (static_cast<unsigned int>(link.output) < target.get_output_count()) {
            attr->connect(*target.get_output(static_cast<unsigned int>(link.output)));
        }
    }
}

// The class combine_items registers when a scene lacks it.
OfClass const* get_combiner_class(char const* operation, OfObjectFactory& scene,
                                  CoreBasicString const& class_name, int& attr_index)
{
    OfClass* of_class = scene.get_classes().get(class_name);
    if (!of_class && class_name == "Combiner") {
        of_class = scene.get_classes().add_class("Combiner", "", "Scene");
        if (of_class) {
            of_class->add_attr("objects", OfPlugType::TYPE_REFERENCE, 0)
                .set_variable(true)
                .set_doc("The objects combined.");
            of_class->set_class_doc("One object standing for several objects together.");
        }
    }
    if (!of_class) {
        CORE_LOG_WARNING(operation << ": unknown class \"" << class_name << "\"\n");
        return nullptr;
    }
    attr_index = -1;
    for (unsigned int i = 0; i < of_class->get_attr_count() && attr_index < 0; ++i) {
        OfAttrDecl const* decl = of_class->get_attr_decl(i);
        if (decl->get_type() == OfPlugType::TYPE_REFERENCE && decl->is_variable())
            attr_index = static_cast<int>(i);
    }
    if (attr_index < 0 || of_class->is_abstract() || of_class->is_embedded_only()) {
        CORE_LOG_WARNING(
            operation << ": class \"" << class_name
                      << "\" cannot combine objects (it needs a variable reference attribute)\n");
        return nullptr;
    }
    return of_class;
}

}  // namespace

// Clipboard ------------------------------------------------------------------------------------

bool SdkHelpers::copy_items(CoreBasicArray<OfItem*> const& items, bool const& with_dependencies)
{
    char const* operation = "SdkHelpers.copy_items";
    OfObjectFactory* scene = Commands::check_items(operation, items, Commands::ITEM_USE_READ);
    if (!scene || !check_copyable(operation, items)) return false;
    AppObject* app = get_app(operation, *scene);
    if (!app) return false;
    CoreVector<OfItem*> copied;
    for (OfItem* item : items) copied.add(item);
    if (with_dependencies) {
        for (OfItem* dependency : scene->get_items_dependencies(items)) {
            OfObject* object = dependency->to_object();
            if (object && !object->get_parent()) copied.add(dependency);
        }
    }
    ParserGroup content;
    for (OfItem* item : get_top_items(copied)) serialize_item(*item, content);
    app->set_item_clipboard(content);
    return true;
}

bool SdkHelpers::cut_items(CoreBasicArray<OfItem*> const& items)
{
    char const* operation = "SdkHelpers.cut_items";
    OfObjectFactory* scene = Commands::check_items(operation, items, Commands::ITEM_USE_STRUCTURE);
    if (!scene || !check_copyable(operation, items)) return false;
    AppObject* app = get_app(operation, *scene);
    if (!app) return false;
    ParserGroup content;
    for (OfItem* item : get_top_items(items)) serialize_item(*item, content);
    app->set_item_clipboard(content);
    return in_batch(*scene, "Cut Items", [&] { return scene->delete_items(items); });
}

CoreVector<OfItem*> SdkHelpers::paste_items(OfContext& target)
{
    char const* operation = "SdkHelpers.paste_items";
    OfObjectFactory& scene = target.get_factory();
    AppObject* app = get_app(operation, scene);
    if (!app || !Commands::check_target(operation, target, scene)) return {};
    ParserGroup const& content = app->get_item_clipboard();
    std::vector<std::unique_ptr<PasteRecord>> roots;
    CoreString error;
    for (unsigned int i = 0; i < content.get_entry_count() && error.is_empty(); ++i) {
        auto record = std::make_unique<PasteRecord>();
        if (read_record(*content.get_entry(i), scene, false, *record, error))
            roots.push_back(std::move(record));
    }
    if (!error.is_empty() || roots.empty()) {
        if (error.is_empty()) {
            CORE_LOG_WARNING(operation << ": the clipboard is empty\n");
        } else {
            CORE_LOG_WARNING(operation << ": the clipboard cannot be pasted: " << error << "\n");
        }
        return {};
    }
    Paster paster(scene);
    for (auto& record : roots) paster.index(*record);
    return in_batch(scene, "Paste Items", [&] {
        for (auto& record : roots) paster.make(*record, target, nullptr);
        paster.make_deferred();
        paster.index_made();
        paster.set_attrs();
        CoreVector<OfItem*> pasted;
        for (auto& record : roots) {
            paster.set_fields(*record);
            if (record->made) pasted.add(record->made);
        }
        return pasted;
    });
}

// Deletion -------------------------------------------------------------------------------------

CoreString const& SdkHelpers::get_trash_name()
{
    static CoreString const name("trash");
    return name;
}

OfContext* SdkHelpers::get_trash(OfObjectFactory const& scene)
{
    return scene.get_root().get_context(get_trash_name());
}

bool SdkHelpers::delete_items(CoreBasicArray<OfItem*> const& items)
{
    char const* operation = "SdkHelpers.delete_items";
    OfObjectFactory* scene = Commands::check_items(operation, items, Commands::ITEM_USE_STRUCTURE);
    if (!scene) return false;
    AppObject* app = get_app(operation, *scene);
    if (!app) return false;
    AppPreferences& preferences = app->get_preferences();
    bool to_trash = !preferences.item_exists("general", "delete_to_trash") ||
                    preferences.get_bool_value("general", "delete_to_trash");
    OfContext* trash = get_trash(*scene);
    CoreVector<OfItem*> erased, moved;
    for (OfItem* item : get_top_items(items)) {
        OfObject* object = item->to_object();
        bool in_trash = trash && (item == trash || holds(*trash, *item));
        if (!to_trash || in_trash || (object && object->get_parent())) {
            erased.add(item);
        } else {
            moved.add(item);
        }
    }
    // Deleting the trash empties it for good; what else is deleted goes to a new one.
    bool trash_erased = trash && erased.contains(trash);
    bool new_trash = !moved.is_empty() && (!trash || trash_erased);
    if (new_trash && !trash) {
        if (OfItem* taken = scene->get_root().get_item(get_trash_name())) {
            CORE_LOG_WARNING(operation << ": " << taken->get_full_name()
                                       << " is not a context: there is no room for the trash\n");
            return false;
        }
    } else if (!moved.is_empty() && !new_trash && !Commands::check_target(operation, *trash, *scene)) {
        return false;
    }
    bool ok = in_batch(*scene, "Delete Items", [&] {
        bool done = scene->delete_items(erased);
        if (new_trash) trash = scene->create_context(get_trash_name(), &scene->get_root());
        if (!moved.is_empty()) done = trash && scene->move_items(moved, *trash) && done;
        return done;
    });
    app->get_selection().remove_from_all(moved);
    return ok;
}

bool SdkHelpers::trash_items(CoreBasicArray<OfItem*> const& items)
{
    OfObjectFactory* scene =
        Commands::check_items("SdkHelpers.trash_items", items, Commands::ITEM_USE_STRUCTURE);
    if (!scene) return false;
    return in_batch(*scene, "Permanently Delete Items", [&] { return scene->delete_items(items); });
}

// Structure ------------------------------------------------------------------------------------

namespace {

// Makes a context named `name` in `parent` (null: what `choose_parent` gives for the checked
// items) and moves the items into it, as one step labelled `label`.
template <class ChooseParent>
OfContext* group_into(char const* operation, char const* label, CoreBasicArray<OfItem*> const& items,
                      CoreBasicString const& name, OfContext* parent, ChooseParent const& choose_parent)
{
    OfObjectFactory* scene = Commands::check_items(operation, items, Commands::ITEM_USE_STRUCTURE);
    if (!scene) return nullptr;
    if (!OfItem::is_valid_name(name)) {
        CORE_LOG_WARNING(operation << ": invalid name \"" << name << "\" (try \""
                                   << OfItem::make_valid_name(name) << "\")\n");
        return nullptr;
    }
    if (!parent) parent = choose_parent();
    if (!parent) {
        CORE_LOG_WARNING(operation << ": no context holds the items\n");
        return nullptr;
    }
    if (!Commands::check_target(operation, *parent, *scene)) return nullptr;
    for (OfItem* item : items) {
        OfObject* object = item->to_object();
        if (object && object->get_parent()) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name() << " is embedded in an object\n");
            return nullptr;
        }
        if (item->is_context() && (parent == item || holds(*item, *parent))) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name()
                                       << " holds the context the group goes to (" << parent->get_full_name()
                                       << ")\n");
            return nullptr;
        }
    }
    GMathVec2<double> position = get_centre(items);
    return in_batch(*scene, label, [&]() -> OfContext* {
        OfContext* group = scene->create_context(name, parent);
        if (!group) return nullptr;
        if (position != GMathVec2<double>()) group->set_position(position);
        scene->move_items(items, *group);
        return group;
    });
}

}  // namespace

OfContext* SdkHelpers::group_items(CoreBasicArray<OfItem*> const& items, CoreBasicString const& name,
                                   OfContext* parent)
{
    return group_into("SdkHelpers.group_items", "Group Items", items, name, parent,
                      [&] { return items[0]->get_context(); });
}

OfContext* SdkHelpers::get_common_context(CoreBasicArray<OfItem*> const& items)
{
    for (OfItem* item : items)
        if (!item) return nullptr;
    OfContext* common = items.is_empty() ? nullptr : items[0]->get_context();
    for (OfItem* item : items)
        while (common && !holds(*common, *item)) common = common->get_parent();
    return common;
}

OfContext* SdkHelpers::contextualize_items(CoreBasicArray<OfItem*> const& items, CoreBasicString const& name)
{
    return group_into("SdkHelpers.contextualize_items", "Contextualize Items", items, name, nullptr,
                      [&] { return get_common_context(items); });
}

OfObject* SdkHelpers::combine_items(CoreBasicArray<OfItem*> const& items, CoreBasicString const& class_name,
                                    OfContext* target)
{
    char const* operation = "SdkHelpers.combine_items";
    OfObjectFactory* scene = Commands::check_items(operation, items, Commands::ITEM_USE_READ);
    if (!scene) return nullptr;
    for (OfItem* item : items) {
        if (!item->is_object()) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name() << " is a context, not an object\n");
            return nullptr;
        }
    }
    OfContext& context = target ? *target : *items[0]->get_context();
    if (!Commands::check_target(operation, context, *scene)) return nullptr;
    int attr_index = -1;
    OfClass const* of_class = get_combiner_class(operation, *scene, class_name, attr_index);
    if (!of_class) return nullptr;
    CoreString const& filter =
        of_class->get_attr_decl(static_cast<unsigned int>(attr_index))->get_object_filter();
    for (OfItem* item : items) {
        if (!filter.is_empty() && !item->to_object()->is_kindof(filter)) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name() << " is not a " << filter
                                       << " as class \"" << class_name << "\" requires\n");
            return nullptr;
        }
    }
    CoreVector<OfItem*> objects = get_top_items(items);
    GMathVec2<double> position = get_centre(items);
    return in_batch(*scene, "Combine Items", [&]() -> OfObject* {
        OfObject* combiner = scene->create_object(of_class->get_name(), "", &context);
        if (!combiner) return nullptr;
        if (position != GMathVec2<double>()) combiner->set_position(position);
        OfAttr* attr = combiner->get_attr(static_cast<unsigned int>(attr_index));
        OfAttrValues values(OfPlugType::TYPE_REFERENCE);
        values.set_count(objects.get_count());
        for (unsigned int i = 0; i < objects.get_count(); ++i) values.set_object(i, objects[i]->to_object());
        attr->set_values(values);
        return combiner;
    });
}

CoreVector<OfObject*> SdkHelpers::instantiate_items(CoreBasicArray<OfItem*> const& items)
{
    char const* operation = "SdkHelpers.instantiate_items";
    OfObjectFactory* scene = Commands::check_items(operation, items, Commands::ITEM_USE_READ);
    if (!scene) return {};
    for (OfItem* item : items) {
        OfObject* object = item->to_object();
        if (!object || object->get_parent()) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name()
                                       << (object ? " is embedded in an object" : " is a context")
                                       << " and has no instances\n");
            return {};
        }
        if (!Commands::check_target(operation, *item->get_context(), *scene)) return {};
    }
    CoreVector<OfItem*> objects = get_top_items(items);
    return in_batch(*scene, "Instantiate Items", [&] {
        CoreVector<OfObject*> instances;
        for (OfItem* item : objects)
            if (OfObject* instance = scene->create_instance(*item->to_object())) instances.add(instance);
        return instances;
    });
}

CoreVector<OfObject*> SdkHelpers::make_instance_items(CoreBasicArray<OfItem*> const& items, OfObject& source)
{
    char const* operation = "SdkHelpers.make_instance_items";
    OfObjectFactory* scene = Commands::check_items(operation, items, Commands::ITEM_USE_STRUCTURE);
    if (!scene) return {};
    if (&source.get_factory() != scene || !source.is_in_scene() || source.get_parent()) {
        CORE_LOG_WARNING(operation << ": " << source.get_full_name()
                                   << " cannot be instantiated (embedded, or not in the scene)\n");
        return {};
    }
    CoreSet<OfItem*> replaced;
    for (OfItem* item : items) replaced.add(item);
    for (OfItem* item : items) {
        OfObject* object = item->to_object();
        if (!object || object->get_parent()) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name()
                                       << (object ? " is embedded in an object" : " is a context") << "\n");
            return {};
        }
        if (source.depends_on(*object)) {
            CORE_LOG_WARNING(operation << ": " << source.get_full_name() << " reads from "
                                       << item->get_full_name()
                                       << ", which cannot become an instance of it\n");
            return {};
        }
        // Whatever reads the object will read the instance, so it must not be read by the source.
        for (OfObject* holder : object->get_dependents()) {
            if (!replaced.has(holder) && holder->get_source() != object &&
                (holder == &source || source.depends_on(*holder))) {
                CORE_LOG_WARNING(operation << ": " << holder->get_full_name() << " reads from "
                                           << item->get_full_name() << " and is read by "
                                           << source.get_full_name() << "\n");
                return {};
            }
        }
    }
    CoreVector<OfItem*> objects = get_top_items(items);
    return in_batch(*scene, "Make Instance", [&] {
        CoreVector<OfObject*> instances;
        for (OfItem* item : objects) {
            OfObject& object = *item->to_object();
            CoreString name = object.get_name();
            OfContext* context = object.get_context();
            GMathVec2<double> position = object.get_position();
            CoreString comment = object.get_comment();
            unsigned int colortag = object.get_colortag();
            bool disabled = object.is_disabled(), hidden = object.is_hidden();
            CoreVector<Link> links = get_links_to(object, replaced);
            if (!object.remove()) continue;
            OfObject* instance = scene->create_instance(source, name, context);
            if (!instance) continue;
            instance->set_position(position);
            instance->set_comment(comment);
            instance->set_colortag(colortag);
            instance->set_disabled(disabled);
            instance->set_hidden(hidden);
            relink(links, *instance);
            instances.add(instance);
        }
        return instances;
    });
}

bool SdkHelpers::make_local_items(CoreBasicArray<OfItem*> const& items)
{
    char const* operation = "SdkHelpers.make_local_items";
    OfObjectFactory* scene = Commands::check_items(operation, items, Commands::ITEM_USE_READ);
    if (!scene) return false;
    // The reference contexts to make local, outermost first, and the instances.
    CoreVector<OfContext*> references;
    CoreVector<OfObject*> instances;
    for (OfItem* item : items) {
        CoreVector<OfContext*> chain;
        if (OfContext* context = item->to_context(); context && context->is_reference()) chain.add(context);
        for (OfContext* context = item->get_context(); context; context = context->get_parent())
            if (context->is_reference()) chain.insert(0, context);
        for (OfContext* context : chain) {
            if (references.contains(context)) continue;
            if (context->is_locked()) {
                CORE_LOG_WARNING(operation << ": " << context->get_full_name() << " is locked\n");
                return false;
            }
            references.add(context);
        }
        if (OfObject* object = item->to_object();
            object && object->get_source() && !instances.contains(object))
            instances.add(object);
    }
    if (references.is_empty() && instances.is_empty()) {
        CORE_LOG_WARNING(operation << ": none of the items is an instance, a reference or inside one\n");
        return false;
    }
    // Outer references before inner ones: an inner one can only change once nothing above it
    // is a reference.
    auto depth = [](OfContext const* context) {
        int d = 0;
        for (; context; context = context->get_parent()) ++d;
        return d;
    };
    std::stable_sort(references.begin(), references.end(),
                     [&](OfContext* a, OfContext* b) { return depth(a) < depth(b); });
    return in_batch(*scene, "Make Local", [&] {
        for (OfContext* context : references) {
            context->set_override(false);
            context->set_reference(false);
        }
        for (OfObject* object : instances) make_instance_local(*object);
        return true;
    });
}

// Display and state ----------------------------------------------------------------------------

bool SdkHelpers::is_item_displayed(OfItem const& item)
{
    if (!item.is_in_scene()) return false;
    for (OfItem const* current = &item; current; current = current->get_holder())
        if (current->is_hidden()) return false;
    return true;
}

namespace {

// What isolating the items shows: the items, what holds them and what they hold.
CoreSet<OfItem*> get_isolated(CoreBasicArray<OfItem*> const& items)
{
    CoreSet<OfItem*> shown;
    for (OfItem* item : items) {
        for (OfItem* holder = item; holder; holder = holder->get_holder()) shown.add(holder);
        CoreVector<OfObject*> inside;
        collect_objects(*item, true, inside);
        for (OfObject* object : inside) {
            shown.add(object);
            for (OfItem* holder = object->get_holder(); holder && holder != item;
                 holder = holder->get_holder())
                shown.add(holder);
        }
    }
    return shown;
}

void show_all(CoreSet<OfItem*> const& shown)
{
    for (OfItem* item : shown)
        if (item->is_hidden() && item->is_editable(OfItem::EDIT_MODE_VALUES)) item->set_hidden(false);
}

// Objects whose display isolating may change: not the framework's, and free to change.
bool is_isolable(OfObject const& object)
{
    return !is_internal(object) && object.is_editable(OfItem::EDIT_MODE_VALUES);
}

}  // namespace

bool SdkHelpers::isolate_items(CoreBasicArray<OfItem*> const& items)
{
    char const* operation = "SdkHelpers.isolate_items";
    OfObjectFactory* scene = Commands::check_items(operation, items, Commands::ITEM_USE_READ);
    if (!scene) return false;
    CoreSet<OfItem*> shown = get_isolated(items);
    return in_batch(*scene, "Isolate Items", [&] {
        show_all(shown);
        CoreVector<OfObject*> all;
        collect_objects(scene->get_root(), false, all);
        for (OfObject* object : all)
            if (!shown.has(object) && !object->is_hidden() && is_isolable(*object)) object->set_hidden(true);
        return true;
    });
}

bool SdkHelpers::isolate_more_items(CoreBasicArray<OfItem*> const& items)
{
    OfObjectFactory* scene =
        Commands::check_items("SdkHelpers.isolate_more_items", items, Commands::ITEM_USE_READ);
    if (!scene) return false;
    CoreSet<OfItem*> shown = get_isolated(items);
    return in_batch(*scene, "Isolate More", [&] {
        show_all(shown);
        return true;
    });
}

bool SdkHelpers::isolate_less_items(CoreBasicArray<OfItem*> const& items)
{
    OfObjectFactory* scene =
        Commands::check_items("SdkHelpers.isolate_less_items", items, Commands::ITEM_USE_READ);
    if (!scene) return false;
    CoreVector<OfObject*> objects;
    for (OfItem* item : items) {
        if (OfContext* context = item->to_context()) {
            for (OfObject* object : context->get_all_objects()) objects.add(object);
        } else {
            objects.add(item->to_object());
        }
    }
    return in_batch(*scene, "Isolate Less", [&] {
        for (OfObject* object : objects)
            if (!object->is_hidden() && is_isolable(*object)) object->set_hidden(true);
        return true;
    });
}

bool SdkHelpers::isolate_swap(OfObjectFactory& scene)
{
    CoreVector<OfObject*> all;
    collect_objects(scene.get_root(), false, all);
    return in_batch(scene, "Isolate Swap", [&] {
        for (OfObject* object : all)
            if (is_isolable(*object)) object->set_hidden(!object->is_hidden());
        return true;
    });
}

bool SdkHelpers::set_items_display(CoreBasicArray<OfItem*> const& items, bool const& displayed)
{
    OfObjectFactory* scene =
        Commands::check_items("SdkHelpers.set_items_display", items, Commands::ITEM_USE_VALUES);
    if (!scene) return false;
    return in_batch(*scene, displayed ? "Show Items" : "Hide Items", [&] {
        bool ok = true;
        for (OfItem* item : items) ok = item->set_hidden(!displayed) && ok;
        return ok;
    });
}

bool SdkHelpers::toggle_items_display(CoreBasicArray<OfItem*> const& items)
{
    OfObjectFactory* scene =
        Commands::check_items("SdkHelpers.toggle_items_display", items, Commands::ITEM_USE_VALUES);
    if (!scene) return false;
    CoreSet<OfItem*> done;
    return in_batch(*scene, "Toggle Items Display", [&] {
        bool ok = true;
        for (OfItem* item : items)
            if (done.add(item)) ok = item->set_hidden(!item->is_hidden()) && ok;
        return ok;
    });
}

bool SdkHelpers::colortag_items(CoreBasicArray<OfItem*> const& items, unsigned int const& tag)
{
    OfObjectFactory* scene =
        Commands::check_items("SdkHelpers.colortag_items", items, Commands::ITEM_USE_VALUES);
    if (!scene) return false;
    return in_batch(*scene, "Set Color Tag", [&] {
        bool ok = true;
        for (OfItem* item : items) ok = item->set_colortag(tag) && ok;
        return ok;
    });
}

bool SdkHelpers::enable_disable_items(CoreBasicArray<OfItem*> const& items, bool const& enable)
{
    OfObjectFactory* scene =
        Commands::check_items("SdkHelpers.enable_disable_items", items, Commands::ITEM_USE_VALUES);
    if (!scene) return false;
    return in_batch(*scene, enable ? "Enable Items" : "Disable Items", [&] {
        bool ok = true;
        for (OfItem* item : items) ok = item->set_disabled(!enable) && ok;
        return ok;
    });
}

// Overrides ------------------------------------------------------------------------------------

bool SdkHelpers::edit_references(CoreBasicArray<OfItem*> const& items, bool const& edit)
{
    char const* operation = "SdkHelpers.edit_references";
    OfObjectFactory* scene = Commands::check_items(operation, items, Commands::ITEM_USE_STRUCTURE);
    if (!scene) return false;
    CoreVector<OfContext*> changed;
    for (OfItem* item : items) {
        OfContext* context = item->to_context();
        if (!context || !context->is_reference()) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name() << " is not a reference context\n");
            return false;
        }
        if (context->is_override() != edit && !changed.contains(context)) changed.add(context);
    }
    if (changed.is_empty()) {
        CORE_LOG_WARNING(operation << ": the references are " << (edit ? "already" : "not") << " edited\n");
        return false;
    }
    return in_batch(*scene, edit ? "Edit References" : "Unedit References", [&] {
        bool ok = true;
        for (OfContext* context : changed) ok = context->set_override(edit) && ok;
        return ok;
    });
}

namespace {

bool revert_overrides(char const* operation, char const* label, CoreBasicArray<OfItem*> const& items,
                      bool const& deep)
{
    OfObjectFactory* scene = Commands::check_items(operation, items, Commands::ITEM_USE_READ);
    if (!scene) return false;
    CoreVector<OfObject*> objects;
    for (OfItem* item : items) {
        if (deep) {
            collect_objects(*item, true, objects);
        } else if (OfObject* object = item->to_object()) {
            objects.add(object);
        } else {
            for (OfObject* object : item->to_context()->get_objects()) objects.add(object);
        }
    }
    for (OfObject* object : objects) {
        if (object->get_source() && !object->is_editable(OfItem::EDIT_MODE_VALUES)) {
            CORE_LOG_WARNING(operation << ": " << object->get_full_name()
                                       << " lies in a reference that is not overridden\n");
            return false;
        }
    }
    return in_batch(*scene, label, [&] {
        CoreSet<OfObject*> done;
        for (OfObject* object : objects)
            if (done.add(object)) revert_instance(*object);
        return true;
    });
}

}  // namespace

bool SdkHelpers::revert_items_overrides(CoreBasicArray<OfItem*> const& items)
{
    return revert_overrides("SdkHelpers.revert_items_overrides", "Revert Overrides", items, false);
}

bool SdkHelpers::revert_sub_items_overrides(CoreBasicArray<OfItem*> const& items)
{
    return revert_overrides("SdkHelpers.revert_sub_items_overrides", "Revert Sub-Items Overrides", items,
                            true);
}

// Not available ------------------------------------------------------------------------------

bool SdkHelpers::create_shading_layer_for_items(CoreBasicArray<OfItem*> const&)
{
    return not_available("SdkHelpers.create_shading_layer_for_items");
}

bool SdkHelpers::export_context_as_reference(OfContext&, CoreBasicString const&)
{
    return not_available("SdkHelpers.export_context_as_reference");
}

bool SdkHelpers::export_nodes_as_build_package(CoreBasicArray<OfItem*> const&, CoreBasicString const&)
{
    return not_available("SdkHelpers.export_nodes_as_build_package");
}

bool SdkHelpers::import_nodes_from_build_package(OfContext&, CoreBasicString const&)
{
    return not_available("SdkHelpers.import_nodes_from_build_package");
}
