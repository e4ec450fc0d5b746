#pragma once

#include <QString>

class SPSFormatValues;

// The SPS parameter file: a title line, a version line and one "key = value"
// line per value of the "Format" page, holding the page's numbers as they stand
// (positions counted from 1).
class SPSParamFile
{
public:
    enum Status
    {
        Ok,
        CannotOpen,
        InvalidVersion,
        NotRegularFile // a FIFO or a device: refused before it is opened
    };

    // Applies the file's values to `values`, which is left as it was unless the
    // file opens and its version line is accepted. Lines that are not three
    // blank-separated tokens, and keys that match no name exactly, are passed over;
    // a key that occurs twice keeps its last value.
    static Status Read(const QString& path, SPSFormatValues* values);

    // Replaces the file with the values as integers, as every output is written
    // (SPSOutputFile); false when anything failed.
    static bool Write(const QString& path, const SPSFormatValues& values);
};
