#pragma once

#include "SPSEngineExport.h"

#include "SPSFold.h"
#include "SPSLayout.h"
#include "SPSNumberingSettings.h"
#include "SPSRowObserver.h"

#include <QChar>
#include <QCoreApplication>
#include <QString>

#include <vector>

class VeTaskSPSFilesLoaderParam;

// What the fold needs of the S, R and X files, read in the columns of the
// layout in use: for points their line, point and coordinates (scaled as the
// load scales them), for relations their numbers. A field that is no number
// reads as NaN, so that the fold counts its station as missing, not at 0.
// Line names that are no numbers name no station for the fold.

// The stations of an S or R file from a load's reading of it (a row observer,
// see SPSLoadDriver::Run), so that the fold needs no reading of its own.
class SPS_ENGINE_EXPORT SPSFoldStationRows : public SPSRowObserver
{
public:
    // letter: 'S' or 'R'.
    SPSFoldStationRows(const VeTaskSPSFilesLoaderParam& param, QChar letter,
                       const SPSNumberingSettings& numbering);

    qint64 RowLimit() const override;
    void Begin(qint64 fileSize) override;
    void Row(const SPSRowReader& reader) override;

    // Whether a reading has handed rows over.
    bool Begun() const { return m_bBegun; }
    std::vector<SPSFoldStation>& Stations() { return m_Stations; }

private:
    SPSLayout::Span m_Line, m_Point, m_X, m_Y;
    qint32 m_nCoordinateScalar = 0;
    bool m_bBegun = false;
    std::vector<SPSFoldStation> m_Stations;
};

// The relations of an X file from another reading of it (the survey check's,
// see SPSSurveyCheck::SetRelationRows), so that the file is read once.
class SPS_ENGINE_EXPORT SPSFoldRelationRows : public SPSRowObserver
{
public:
    explicit SPSFoldRelationRows(const VeTaskSPSFilesLoaderParam& param);

    qint64 RowLimit() const override;
    void Begin(qint64 fileSize) override;
    void Row(const SPSRowReader& reader) override;

    bool Begun() const { return m_bBegun; }
    std::vector<SPSFoldRelation>& Relations() { return m_Relations; }

private:
    SPSLayout::Span m_Record, m_SourceLine, m_SourcePoint, m_First, m_Last, m_Increment,
        m_ReceiverLine, m_FirstReceiver, m_LastReceiver;
    bool m_bBegun = false;
    std::vector<SPSFoldRelation> m_Relations;
};

class SPS_ENGINE_EXPORT SPSFoldReading
{
    Q_DECLARE_TR_FUNCTIONS(SPSFoldReading)
public:
    // Every X row of the record's relation file, with the record's header
    // rule; false, with the reason in errorText (when given), when it cannot
    // be opened or read to its end.
    static bool ReadRelations(const VeTaskSPSFilesLoaderParam& param,
                              std::vector<SPSFoldRelation>* relations,
                              QString* errorText = nullptr);
};
