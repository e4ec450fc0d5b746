// Fuzz target for the row reader alone: the bytes after a short header are the
// file, the header chooses the record letter, the skip mode and count, the
// column layout and the reading settings; the fast reader must agree with the
// general one (QTextStream) on every row and field. No load, no files: many
// more inputs a second than fuzz_rows, on the same reading code.
#include "FuzzReaderCompare.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzReader::CompareReaders(FuzzReader::Decode(data, size));
    return 0;
}
