#include "SPSCheckFinding.h"

QString SPSCheckFinding::KindName(Kind kind)
{
    static const char* const names[KindCount] = {"revision",
                                                 "not-a-number",
                                                 "short-row",
                                                 "blank-point",
                                                 "duplicate",
                                                 "conflict",
                                                 "shared-number",
                                                 "outlier",
                                                 "precision",
                                                 "relation-source-missing",
                                                 "source-not-related",
                                                 "relation-receiver-missing",
                                                 "receiver-not-related",
                                                 "channel-overlap",
                                                 "record-reused",
                                                 "not-a-record",
                                                 "number-overflow"};
    return QString::fromLatin1(names[kind]);
}
