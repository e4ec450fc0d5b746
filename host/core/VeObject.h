#pragma once

#include <QObject>
#include <QString>

class OrkaArchive;
class VeRuntimeClass;

// Base of every object the host can name, identify, store and create by class name.
class VeObject : public QObject
{
    Q_OBJECT
public:
    explicit VeObject(QObject* parent = nullptr);
    ~VeObject() override;

    static const VeRuntimeClass* GetThisClass();

    virtual const VeRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(OrkaArchive& ar);
    virtual QString GetName() const;
    virtual void SetName(const QString& name);
    virtual void SetID(qint64 id);

    qint64 GetID() const { return m_nID; }
    // True when this object's class record is, or derives from, the given record.
    bool IsKindOf(const VeRuntimeClass* rc) const;

    // A fresh ID, never handed out before in this process, whatever thread asks.
    static qint64 CreateUniqueID();

protected:
    QString m_strName;
    qint64 m_nID = 0;
};
