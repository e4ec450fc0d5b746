#pragma once

#include "VeMenuAgencyBase.h"
#include "VeRuntimeClass.h"

// Offers the SPS load in the context menu of empty spots and of nodes without an
// object or with a pre-stack geometry, and runs the load the dialog asks for.
class VeMenuAgencySeismicSurvey : public VeMenuAgencyBase
{
    Q_OBJECT
    VE_DECLARE_RUNTIMECLASS(VeMenuAgencySeismicSurvey)
public:
    explicit VeMenuAgencySeismicSurvey(QObject* parent = nullptr);
    ~VeMenuAgencySeismicSurvey() override;

    void CreateNodeMenu(VeObjNode* node, QMenu* menu) override;

protected Q_SLOTS:
    // Opens the load dialog on a fresh record, aimed at the current node.
    void slotLoadSPSToGeometry();
    // The dialog was accepted: loads into the node whose menu opened it.
    void slotLoadSPSToGeometryThread();
};
