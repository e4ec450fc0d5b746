// spsgen DIR POINTS [--shuffled] [--3d] [--seed N] [--line-spacing M]
// [--relations ROWS | --patches]: writes
// DIR/survey.s and DIR/survey.r, and DIR/survey.x with --relations or --patches.
#include "SPSSurveyGenerator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Writes a synthetic survey: DIR/survey.s and DIR/survey.r.");
    parser.addHelpOption();
    parser.addPositionalArgument("dir", "Folder to write to (made when missing).");
    parser.addPositionalArgument("points", "Points per file.");
    parser.addOption({"shuffled", "Data rows in random order."});
    parser.addOption({"3d", "Lines named 1, 2, ... and points numbered 1 to POINTS."});
    parser.addOption({"seed", "Seed of the coordinates' noise and the order.", "n", "1"});
    parser.addOption({"relations", "Also write DIR/survey.x with ROWS relation rows.", "rows"});
    parser.addOption({"line-spacing",
                      "Metres between lines (default: 150 for source lines, 200 for receiver "
                      "lines); 25 lays both on one 25 m grid, about each other, as a fold needs.",
                      "m", "0"});
    parser.addOption({"patches", "Also write DIR/survey.x with one 240-channel patch per shot, "
                                 "every receiver recording."});
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    bool ok = false;
    const qint64 points = args.value(1).toLongLong(&ok);
    if (args.size() != 2 || !ok || points < 0) {
        std::fprintf(stderr, "usage: spsgen DIR POINTS [--shuffled] [--3d] [--seed N] "
                             "[--line-spacing M] [--relations ROWS | --patches]\n");
        return 2;
    }
    if (!QDir().mkpath(args[0])) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(args[0]));
        return 1;
    }
    SPSSurveyGenerator::Options options;
    options.points = points;
    options.shuffled = parser.isSet("shuffled");
    options.shortNames = parser.isSet("3d");
    options.seed = parser.value("seed").toUInt();
    options.lineSpacing = parser.value("line-spacing").toDouble();
    for (const auto& [letter, name] : {std::pair{u'S', "survey.s"}, {u'R', "survey.r"}}) {
        options.letter = letter;
        QString error;
        const QString path = QDir(args[0]).filePath(name);
        if (!SPSSurveyGenerator::Write(path, options, &error)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
            return 1;
        }
    }
    if (parser.isSet("relations") || parser.isSet("patches")) {
        QString error;
        const QString path = QDir(args[0]).filePath("survey.x");
        const bool written =
            parser.isSet("patches")
                ? SPSSurveyGenerator::WritePatchRelations(path, points, &error)
                : SPSSurveyGenerator::WriteRelations(
                      path, points, parser.value("relations").toLongLong(), &error);
        if (!written) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
            return 1;
        }
    }
    return 0;
}
