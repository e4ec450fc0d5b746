#pragma once

#include <QList>
#include <QString>

class VeObject;

// Static record of a class that the host creates by name. Constructing a record
// registers it; a second record of a name already registered is refused.
class VeRuntimeClass
{
public:
    using Factory = VeObject* (*)();

    VeRuntimeClass(const char* className, int objectSize, Factory factory,
                   const VeRuntimeClass* baseClass);
    ~VeRuntimeClass();
    VeRuntimeClass(const VeRuntimeClass&) = delete;
    VeRuntimeClass& operator=(const VeRuntimeClass&) = delete;

    VeObject* CreateObject() const;
    bool IsDerivedFrom(const VeRuntimeClass* baseClass) const;
    // False when an earlier record of the same name holds the registry.
    bool IsRegistered() const { return m_bRegistered; }

    static const VeRuntimeClass* FromName(const QString& className);
    static VeObject* CreateObject(const QString& className);
    static QList<const VeRuntimeClass*> RegisteredClasses();

    const char* m_lpszClassName;
    int m_nObjectSize;
    Factory m_pfnCreateObject;
    const VeRuntimeClass* m_pBaseClass;

private:
    bool m_bRegistered = false;
};

// Declares and implements the class record of a creatable host class.
#define VE_DECLARE_RUNTIMECLASS(ClassName)                                                         \
public:                                                                                            \
    static const VeRuntimeClass* GetThisClass();                                                   \
    const VeRuntimeClass* GetRuntimeClass() const override { return GetThisClass(); }             \
    static VeObject* CreateInstance();

#define VE_IMPLEMENT_RUNTIMECLASS(ClassName, BaseClassName)                                        \
    VeObject* ClassName::CreateInstance() { return new ClassName; }                               \
    const VeRuntimeClass* ClassName::GetThisClass()                                                \
    {                                                                                              \
        static const VeRuntimeClass record(#ClassName, int(sizeof(ClassName)),                     \
                                           &ClassName::CreateInstance,                             \
                                           BaseClassName::GetThisClass());                         \
        return &record;                                                                            \
    }                                                                                              \
    /* register while the library loads, not at first use */                                       \
    static const VeRuntimeClass* const s_registered##ClassName = ClassName::GetThisClass();
