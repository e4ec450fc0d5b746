#pragma once

#include "VeTaskParameter.h"

#include <QString>

#include <array>

// Everything one load needs: the three SPS file paths, how the leading rows of
// each file are passed over, and the 0-based start and length of every field.
class VeTaskSPSFilesLoaderParam : public VeTaskParameter
{
public:
    VeTaskSPSFilesLoaderParam();
    ~VeTaskSPSFilesLoaderParam() override;

    bool IsValid() const override { return true; }

    // Copies every field (paths, skip settings, layout); QObjects cannot be copied,
    // and each running load reads a record of its own.
    void CopyFrom(const VeTaskSPSFilesLoaderParam& other);

    // The integer fields, by the names the parameter file uses as keys, in
    // declaration order: the three skip counts, then the 40 column fields.
    struct IntField
    {
        const char* key;
        qint32 VeTaskSPSFilesLoaderParam::*member;
    };
    static const std::array<IntField, 43>& IntFields();

    QString SourceFileName;
    QString ReceiverFileName;
    QString RelationFileName;
    bool AutoSkipS = true;
    qint32 SkipPosS = 72;
    bool AutoSkipR = true;
    qint32 SkipPosR = 72;
    bool AutoSkipX = true;
    qint32 SkipPosX = 72;
    qint32 SrcLinePos = 1;
    qint32 SrcLineLen = 16;
    qint32 SrcIDPos = 17;
    qint32 SrcIDLen = 8;
    qint32 SrcWellPos = 32;
    qint32 SrcWellLen = 4;
    qint32 SrcCoordX = 46;
    qint32 SrcCoordXLen = 9;
    qint32 SrcCoordY = 55;
    qint32 SrcCoordYLen = 10;
    qint32 SrcElevPos = 65;
    qint32 SrcElevLen = 6;
    qint32 RecvLinePos = 1;
    qint32 RecvLineLen = 16;
    qint32 RecvIDPos = 17;
    qint32 RecvIDLen = 8;
    qint32 RecvCoordX = 46;
    qint32 RecvCoordXLen = 9;
    qint32 RecvCoordY = 55;
    qint32 RecvCoordYLen = 10;
    qint32 RecvElevPos = 65;
    qint32 RecvElevLen = 6;
    qint32 XRecordNumPos = 7;
    qint32 XRecordNumLen = 4;
    qint32 XSrcLinePos = 13;
    qint32 XSrcLineLen = 16;
    qint32 XSrcIDPos = 29;
    qint32 XSrcIDLen = 8;
    qint32 XFirstChannelPos = 38;
    qint32 XFirstChannelLen = 4;
    qint32 XLastChannelPos = 42;
    qint32 XLastChannelLen = 4;
    qint32 XChannelIncrPos = 46;
    qint32 XChannelIncrLen = 1;
    qint32 XRecvLinePos = 47;
    qint32 XRecvLineLen = 16;
    qint32 XFirstRecvIDPos = 63;
    qint32 XFirstRecvIDLen = 8;
    qint32 XLastRecvIDPos = 71;
    qint32 XLastRecvIDLen = 8;
};
