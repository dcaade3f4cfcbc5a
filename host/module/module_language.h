#pragma once
// ModuleLanguage: what an editor knows of a scripting language: its keyword tables, comment
// markers, string delimiters and operators for colouring, the file extensions of its
// scripts, and the completion list (the names a user may type), which its engine rebuilds
// when it asks for it. Languages register themselves by name while they exist:
//
//     ModuleLanguage* language = ModuleLanguage::get_language(app, "Python");
//     if (language) editor->set_keywords(language->get_keywords());
//
// The tables are written by the language's owner on the application thread; the completion
// list likewise (engines build it there, see ModuleScripting::build_completion_list).
#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

class AppObject;

class QN_HOST_API ModuleLanguage : public CoreBaseObject {
    CORE_DECLARE_CLASS(ModuleLanguage, CoreBaseObject)

public:
    // Registered under `name` until destroyed; a name already registered keeps its first
    // language (with a warning) and this one stays unlisted.
    explicit ModuleLanguage(CoreString const& name);
    ~ModuleLanguage() override;
    ModuleLanguage(ModuleLanguage const&) = delete;
    ModuleLanguage& operator=(ModuleLanguage const&) = delete;

    // The registered language whose name, made an identifier, equals `name` made one; null
    // with a warning when there is none.
    static ModuleLanguage* get_language(AppObject& app, CoreString const& name);
    // The same without the warning.
    static ModuleLanguage* find_language(CoreString const& name);

    CoreString const& get_name() const { return m_name; }

    // --- Colouring tables ---
    CoreVector<CoreString> const& get_keywords() const { return m_keywords; }
    void set_keywords(CoreVector<CoreString> const& keywords) { m_keywords = keywords; }
    CoreVector<CoreString> const& get_reserved_keywords() const { return m_reserved_keywords; }
    void set_reserved_keywords(CoreVector<CoreString> const& keywords) { m_reserved_keywords = keywords; }
    CoreVector<CoreString> const& get_preprocessor_keywords() const { return m_preprocessor_keywords; }
    void set_preprocessor_keywords(CoreVector<CoreString> const& keywords)
    {
        m_preprocessor_keywords = keywords;
    }
    CoreVector<CoreString> const& get_line_comments() const { return m_line_comments; }
    void set_line_comments(CoreVector<CoreString> const& markers) { m_line_comments = markers; }
    // Pairs: opening marker, closing marker.
    CoreVector<CoreString> const& get_block_comments() const { return m_block_comments; }
    void set_block_comments(CoreVector<CoreString> const& markers) { m_block_comments = markers; }
    CoreVector<CoreString> const& get_strings() const { return m_strings; }
    void set_strings(CoreVector<CoreString> const& delimiters) { m_strings = delimiters; }
    CoreVector<CoreString> const& get_operators() const { return m_operators; }
    void set_operators(CoreVector<CoreString> const& operators) { m_operators = operators; }

    // Extensions of the language's script files, without the dot ("py").
    CoreVector<CoreString> const& get_extensions() const { return m_extensions; }
    void set_extensions(CoreVector<CoreString> const& extensions) { m_extensions = extensions; }

    // --- Completion ---
    CoreVector<CoreString> const& get_completion_list() const { return m_completion; }
    void set_completion_list(CoreVector<CoreString> const& names) { m_completion = names; }
    // Empties the list; it is built again on the next request.
    void clear_completion();
    // Whether the list must be built again before it is used (true until first built, and
    // after the engine's names changed).
    bool const& is_rebuild_completion() const { return m_rebuild_completion; }
    void set_rebuild_completion(bool const& rebuild) { m_rebuild_completion = rebuild; }

    size_t get_memory_size() const override;

private:
    CoreString m_name;
    bool m_registered = false;
    CoreVector<CoreString> m_keywords;
    CoreVector<CoreString> m_reserved_keywords;
    CoreVector<CoreString> m_preprocessor_keywords;
    CoreVector<CoreString> m_line_comments;
    CoreVector<CoreString> m_block_comments;
    CoreVector<CoreString> m_strings;
    CoreVector<CoreString> m_operators;
    CoreVector<CoreString> m_extensions;
    CoreVector<CoreString> m_completion;
    bool m_rebuild_completion = true;
};
