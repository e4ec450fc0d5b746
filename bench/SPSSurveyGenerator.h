#pragma once

#include <QString>

// Writes synthetic SPS point files as a 3D land survey has them: the first
// revision's 80 columns, 20 H header rows, CRLF line ends, lines of points
// 25 m apart with coordinates to one decimal, every point number unique.
class SPSSurveyGenerator
{
public:
    struct Options
    {
        QChar letter = u'S'; // "S" source lines, "R" receiver lines (at right angles)
        qint64 points = 0;
        bool shuffled = false; // data rows in random order instead of line order
        // As many 3D surveys number them: lines named 1, 2, ... and points
        // numbered 1, 2, ... through the whole file (8 columns, right-justified),
        // so that the keys' text order is not the file's order.
        bool shortNames = false;
        quint32 seed = 1;
        // Metres between lines; 0: 150 for source lines, 200 for receiver
        // lines. 25 lays both on one 25 m grid, so that every shot has
        // receivers about it.
        double lineSpacing = 0;
    };

    // Writes the file; false with the reason in *error.
    static bool Write(const QString& path, const Options& options, QString* error);

    // Writes a relation (X) file of `rows` rows for the S and R files of
    // `points` points each: ten rows of 240 channels per field record, each
    // naming a source point and a range of one receiver line.
    static bool WriteRelations(const QString& path, qint64 points, qint64 rows, QString* error);
    // Writes the relation of a survey recorded shot by shot: one field record
    // per source point, each one row of 240 channels on one receiver line,
    // the patches moving along the lines so that every receiver records.
    // With strayShots, every row names a shot on a line the S file does not
    // have (line numbers 4000 higher).
    static bool WritePatchRelations(const QString& path, qint64 points, QString* error,
                                    bool strayShots = false);
};
