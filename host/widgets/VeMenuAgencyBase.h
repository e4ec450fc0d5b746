#pragma once

#include "VeObject.h"

#include <QList>
#include <QPointer>

#include "VeObjNode.h"

class QMenu;

// Fills the context menu of object-tree nodes whose object class it is bound to.
class VeMenuAgencyBase : public VeObject
{
    Q_OBJECT
public:
    explicit VeMenuAgencyBase(QObject* parent = nullptr);
    ~VeMenuAgencyBase() override;

    static const VeRuntimeClass* GetThisClass();
    const VeRuntimeClass* GetRuntimeClass() const override { return GetThisClass(); }

    // Adds this agency's entries to the menu of the node (null: an empty spot).
    virtual void CreateNodeMenu(VeObjNode* node, QMenu* menu);
    virtual void SetCurEmbedNode(VeObjNode* node);
    VeObjNode* GetCurEmbedNode() const { return m_pCurEmbedNode; }

    // The agency classes bound to nodes holding an object of this class, in the
    // order bound; null asks for nodes without an object.
    static QList<const VeRuntimeClass*> AgencyClassesFor(const VeRuntimeClass* objectClass);

protected:
    QPointer<VeObjNode> m_pCurEmbedNode;
};

// Binds a menu agency class to an object class (null: nodes without an object)
// for as long as it lives; made as a static object of the library that binds.
// A binding of a pair already bound is refused with a warning.
class VE_ObjToMenu_ClassInit
{
public:
    VE_ObjToMenu_ClassInit(const VeRuntimeClass* objectClass, const VeRuntimeClass* agencyClass);
    ~VE_ObjToMenu_ClassInit();
    VE_ObjToMenu_ClassInit(const VE_ObjToMenu_ClassInit&) = delete;
    VE_ObjToMenu_ClassInit& operator=(const VE_ObjToMenu_ClassInit&) = delete;

    bool IsRegistered() const { return m_bRegistered; }

private:
    const VeRuntimeClass* m_pObjectClass;
    const VeRuntimeClass* m_pAgencyClass;
    bool m_bRegistered = false;
};
