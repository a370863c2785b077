// Lists the working directory's files with their sizes, leaving out directories' own markers
// and files of some types, and reports each file and the total size to debugLog. Its messages
// call it the packer. Sizes are bytes, 64-bit.
#pragma once

#include <cstdint>

constexpr int DATA_SCAN_CAPACITY = 1024;
constexpr int DATA_SCAN_NAME_BYTES = 256;  // a directory entry's name and its terminator

struct DataScanTable {
    char names[DATA_SCAN_CAPACITY][DATA_SCAN_NAME_BYTES];
    int64_t sizes[DATA_SCAN_CAPACITY];
    int count;
    int64_t totalBytes;  // of the recorded files, summed by the report
};

extern DataScanTable dataScan;

// The name from its last '.' to the end, searching after the first character only; "" when
// there is none.
const char* fileExtension(const char* name);
// Records one file of the working directory in the slot at dataScan.count. A file that cannot
// be opened (a directory among them) leaves that slot empty with size 0 and reports two lines;
// a left-out name lowers the count by one, since the caller raises it after every entry.
void recordDataFile(const char* name);
// Scans "./" afresh, then reports every recorded file and the total to debugLog.
void scanDataDirectory();
