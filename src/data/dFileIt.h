#pragma once
// One data file chosen for export: a counted reference to the file and a
// position in its samples. The file goes when its last holder does.
#include <memory>

#include "data/DataFile.h"
#include "data/DataFileIter.h"

struct dFileIt {
    explicit dFileIt(std::shared_ptr<DataFile> f) : file(std::move(f)), iter(*file) {}

    std::shared_ptr<DataFile> file;
    DataFileIter iter;
};

// At most this many data files go into one export.
inline constexpr int MaxExportFiles = 15;
