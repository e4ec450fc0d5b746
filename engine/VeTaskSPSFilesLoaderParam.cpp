#include "VeTaskSPSFilesLoaderParam.h"

VeTaskSPSFilesLoaderParam::VeTaskSPSFilesLoaderParam()
{
    m_strName = QStringLiteral("Load SPS File");
}

VeTaskSPSFilesLoaderParam::~VeTaskSPSFilesLoaderParam() = default;

const std::array<VeTaskSPSFilesLoaderParam::IntField, 43>& VeTaskSPSFilesLoaderParam::IntFields()
{
    using P = VeTaskSPSFilesLoaderParam;
    static const std::array<IntField, 43> fields{{
        {"SkipPosS", &P::SkipPosS},
        {"SkipPosR", &P::SkipPosR},
        {"SkipPosX", &P::SkipPosX},
        {"SrcLinePos", &P::SrcLinePos},
        {"SrcLineLen", &P::SrcLineLen},
        {"SrcIDPos", &P::SrcIDPos},
        {"SrcIDLen", &P::SrcIDLen},
        {"SrcWellPos", &P::SrcWellPos},
        {"SrcWellLen", &P::SrcWellLen},
        {"SrcCoordX", &P::SrcCoordX},
        {"SrcCoordXLen", &P::SrcCoordXLen},
        {"SrcCoordY", &P::SrcCoordY},
        {"SrcCoordYLen", &P::SrcCoordYLen},
        {"SrcElevPos", &P::SrcElevPos},
        {"SrcElevLen", &P::SrcElevLen},
        {"RecvLinePos", &P::RecvLinePos},
        {"RecvLineLen", &P::RecvLineLen},
        {"RecvIDPos", &P::RecvIDPos},
        {"RecvIDLen", &P::RecvIDLen},
        {"RecvCoordX", &P::RecvCoordX},
        {"RecvCoordXLen", &P::RecvCoordXLen},
        {"RecvCoordY", &P::RecvCoordY},
        {"RecvCoordYLen", &P::RecvCoordYLen},
        {"RecvElevPos", &P::RecvElevPos},
        {"RecvElevLen", &P::RecvElevLen},
        {"XRecordNumPos", &P::XRecordNumPos},
        {"XRecordNumLen", &P::XRecordNumLen},
        {"XSrcLinePos", &P::XSrcLinePos},
        {"XSrcLineLen", &P::XSrcLineLen},
        {"XSrcIDPos", &P::XSrcIDPos},
        {"XSrcIDLen", &P::XSrcIDLen},
        {"XFirstChannelPos", &P::XFirstChannelPos},
        {"XFirstChannelLen", &P::XFirstChannelLen},
        {"XLastChannelPos", &P::XLastChannelPos},
        {"XLastChannelLen", &P::XLastChannelLen},
        {"XChannelIncrPos", &P::XChannelIncrPos},
        {"XChannelIncrLen", &P::XChannelIncrLen},
        {"XRecvLinePos", &P::XRecvLinePos},
        {"XRecvLineLen", &P::XRecvLineLen},
        {"XFirstRecvIDPos", &P::XFirstRecvIDPos},
        {"XFirstRecvIDLen", &P::XFirstRecvIDLen},
        {"XLastRecvIDPos", &P::XLastRecvIDPos},
        {"XLastRecvIDLen", &P::XLastRecvIDLen},
    }};
    return fields;
}

void VeTaskSPSFilesLoaderParam::CopyFrom(const VeTaskSPSFilesLoaderParam& other)
{
    if (&other == this)
        return;
    SourceFileName = other.SourceFileName;
    ReceiverFileName = other.ReceiverFileName;
    RelationFileName = other.RelationFileName;
    AutoSkipS = other.AutoSkipS;
    AutoSkipR = other.AutoSkipR;
    AutoSkipX = other.AutoSkipX;
    for (const IntField& f : IntFields())
        this->*f.member = other.*f.member;
}
