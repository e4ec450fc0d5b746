#pragma once

#include "VeObject.h"

#include <QVector>

// A data object of the host's tree: it may hang under a parent data object and
// describes itself to the host's information views.
class VeDataObject : public VeObject
{
    Q_OBJECT
public:
    explicit VeDataObject(QObject* parent = nullptr) : VeObject(parent) {}

    static const VeRuntimeClass* GetThisClass();
    const VeRuntimeClass* GetRuntimeClass() const override { return GetThisClass(); }

    // Copies what the other object holds; false when it is of another class.
    virtual bool Copy(const VeDataObject& other);
    virtual QString GetDataObjInfo() const;
    virtual QString StatisticObjInfo() const { return GetDataObjInfo(); }
    virtual void SetParentID(qint64 id) { m_nParentID = id; }
    virtual void SetParentObj(VeDataObject* parentObject);
    virtual VeDataObject* GetParentDataObj() const { return m_pParentObj; }
    virtual VeObject* GetParentObj() const { return m_pParentObj; }
    virtual qint64 GetParentObjID() const { return m_nParentID; }
    // Value histogram of the object's samples; empty for objects without samples.
    virtual QVector<qint64> GetHistgram(int bins) const;
    virtual void createObjectInfo() {}
    virtual void SetInvalidValue(double value) { m_dInvalidValue = value; }
    virtual double GetInvalidValue() const { return m_dInvalidValue; }

protected:
    qint64 m_nParentID = 0;
    VeDataObject* m_pParentObj = nullptr;
    double m_dInvalidValue = -999.25;
};
