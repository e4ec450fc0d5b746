#pragma once

#include "SPSEngineExport.h"

#include "SPSNumberingSettings.h"
#include "VeTaskParameter.h"

#include <QString>

// Everything one load needs: the three SPS file paths, how the leading rows of
// each file are passed over, and the 0-based start and length of every field.
class SPS_ENGINE_EXPORT VeTaskSPSFilesLoaderParam : public VeTaskParameter
{
public:
    VeTaskSPSFilesLoaderParam();
    ~VeTaskSPSFilesLoaderParam() override;

    bool IsValid() const override { return true; }

    // Copies every field (paths, skip settings, layout, numbering); QObjects cannot be copied,
    // and each running load reads a record of its own.
    void CopyFrom(const VeTaskSPSFilesLoaderParam& other);

    // The skip settings and the column layout start at the standard values of
    // the layout table (SPSLayout.h), which also describes each of them.
    QString SourceFileName;
    QString ReceiverFileName;
    QString RelationFileName;
    bool AutoSkipS = false;
    qint32 SkipPosS = 0;
    bool AutoSkipR = false;
    qint32 SkipPosR = 0;
    bool AutoSkipX = false;
    qint32 SkipPosX = 0;
    qint32 SrcLinePos = 0;
    qint32 SrcLineLen = 0;
    qint32 SrcIDPos = 0;
    qint32 SrcIDLen = 0;
    qint32 SrcWellPos = 0;
    qint32 SrcWellLen = 0;
    qint32 SrcCoordX = 0;
    qint32 SrcCoordXLen = 0;
    qint32 SrcCoordY = 0;
    qint32 SrcCoordYLen = 0;
    qint32 SrcElevPos = 0;
    qint32 SrcElevLen = 0;
    qint32 RecvLinePos = 0;
    qint32 RecvLineLen = 0;
    qint32 RecvIDPos = 0;
    qint32 RecvIDLen = 0;
    qint32 RecvCoordX = 0;
    qint32 RecvCoordXLen = 0;
    qint32 RecvCoordY = 0;
    qint32 RecvCoordYLen = 0;
    qint32 RecvElevPos = 0;
    qint32 RecvElevLen = 0;
    qint32 XRecordNumPos = 0;
    qint32 XRecordNumLen = 0;
    qint32 XSrcLinePos = 0;
    qint32 XSrcLineLen = 0;
    qint32 XSrcIDPos = 0;
    qint32 XSrcIDLen = 0;
    qint32 XFirstChannelPos = 0;
    qint32 XFirstChannelLen = 0;
    qint32 XLastChannelPos = 0;
    qint32 XLastChannelLen = 0;
    qint32 XChannelIncrPos = 0;
    qint32 XChannelIncrLen = 0;
    qint32 XRecvLinePos = 0;
    qint32 XRecvLineLen = 0;
    qint32 XFirstRecvIDPos = 0;
    qint32 XFirstRecvIDLen = 0;
    qint32 XLastRecvIDPos = 0;
    qint32 XLastRecvIDLen = 0;

    // How the load numbers the points and scales the values; the loader thread
    // takes them from here when the dialog's roads start it. Not part of the
    // parameter file, which holds the layout alone.
    SPSNumberingSettings Numbering;
};
