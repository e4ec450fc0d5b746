#pragma once

#include "VeSheetTaskBaseDialog.h"

#include <QPointer>

#include "VeObjNode.h"

// The load dialog: the "Files" and "Format" pages writing one parameter record.
// It is deleted when it closes, and it watches the node it will load into, so a
// node deleted while the dialog is open reads back as none.
class VeSPSLoadDialog : public VeSheetTaskBaseDialog
{
    Q_OBJECT
public:
    explicit VeSPSLoadDialog(VeTaskParameter* param, QWidget* parent = nullptr);
    ~VeSPSLoadDialog() override;

    // Builds the dialog on the record (parent: the host main window), connects
    // accepted() to the receiver's member (a SLOT() text) and shows it without a
    // modal loop. The tab titles come translated in the caller's context.
    static VeSPSLoadDialog* Open(VeTaskParameter* param, VeObjNode* targetNode, QObject* receiver,
                                 const char* member, const QString& filesTitle,
                                 const QString& formatTitle);

    VeObjNode* GetTargetNode() const { return m_pTargetNode; }

private:
    QPointer<VeObjNode> m_pTargetNode;
};
