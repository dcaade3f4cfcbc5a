#pragma once
// Run-time class information and the root object class. Every class registers one
// CoreClassInfo under its own name with its base's record as parent; type tests walk the
// parent chain:
//
//     class MyWidget : public GuiWidget {
//         CORE_DECLARE_CLASS(MyWidget, GuiWidget)
//     };
//     CORE_IMPLEMENT_CLASS(MyWidget, GuiWidget)     // in the .cpp
//     if (object.is_kindof(MyWidget::class_info())) ...
#include <cstddef>

#include "host/core/core_export.h"
#include "host/core/core_string.h"

class CoreBaseObject;

class QN_HOST_API CoreClassInfo {
public:
    // Makes a new object of the class; null for abstract classes.
    using Factory = CoreBaseObject* (*)();
    // Called once, right after the record is made.
    using InitCallback = void (*)(CoreClassInfo&);

    // Makes the record of a class, once per class. A second call with a registered name
    // logs a warning and returns the existing record.
    static CoreClassInfo& new_class(char const* name, Factory factory, CoreClassInfo const* parent,
                                    InitCallback init = nullptr);
    // The record registered under `name`, or null.
    static CoreClassInfo const* find(CoreBasicString const& name);

    CoreString const& get_name() const { return m_name; }
    CoreClassInfo const* get_parent() const { return m_parent; }
    bool is_abstract() const { return m_factory == nullptr; }
    // True when this class is `other` or derives from it.
    bool is_kindof(CoreClassInfo const& other) const;
    // A new object of this class, or null for an abstract class.
    CoreBaseObject* create() const { return m_factory ? m_factory() : nullptr; }

    CoreClassInfo(CoreClassInfo const&) = delete;
    CoreClassInfo& operator=(CoreClassInfo const&) = delete;

private:
    CoreClassInfo(char const* name, Factory factory, CoreClassInfo const* parent);

    CoreString m_name;
    Factory m_factory;
    CoreClassInfo const* m_parent;
};

class QN_HOST_API CoreBaseObject {
public:
    virtual ~CoreBaseObject() = default;

    static CoreClassInfo const& class_info();
    virtual CoreClassInfo const& get_class_info() const { return class_info(); }
    // Bytes used by the object and what it owns; derived classes add their own.
    virtual size_t get_memory_size() const { return sizeof(CoreBaseObject); }

    bool is_kindof(CoreClassInfo const& info) const { return get_class_info().is_kindof(info); }
};

// Declares class_info() and get_class_info() in a class body (leaves the access public).
#define CORE_DECLARE_CLASS(Class, Base)                                          \
public:                                                                          \
    static CoreClassInfo const& class_info();                                    \
    CoreClassInfo const& get_class_info() const override { return class_info(); }

// Makes the class's record when its library loads, so that CoreClassInfo::find knows every
// class by name before anything has used it.
#define CORE_REGISTER_CLASS_AT_LOAD(Class) \
    [[maybe_unused]] static CoreClassInfo const& core_class_record_##Class = Class::class_info();

// Defines class_info() for an abstract class (no factory).
#define CORE_IMPLEMENT_CLASS(Class, Base)                                                       \
    CoreClassInfo const& Class::class_info()                                                   \
    {                                                                                          \
        static CoreClassInfo const& info = CoreClassInfo::new_class(#Class, nullptr, &Base::class_info()); \
        return info;                                                                           \
    }                                                                                          \
    CORE_REGISTER_CLASS_AT_LOAD(Class)

// Defines class_info() for a class that can be created by name (default constructible).
#define CORE_IMPLEMENT_CREATABLE_CLASS(Class, Base)                                            \
    CoreClassInfo const& Class::class_info()                                                   \
    {                                                                                          \
        static CoreClassInfo const& info = CoreClassInfo::new_class(                            \
            #Class, []() -> CoreBaseObject* { return new Class(); }, &Base::class_info());     \
        return info;                                                                           \
    }                                                                                          \
    CORE_REGISTER_CLASS_AT_LOAD(Class)
