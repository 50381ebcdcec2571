#include "data/File.h"

bool identifyFile(File& file) {
    if (!file.stream || !file.stream->open(0)) return false;
    file.stream->seek(file.startOffset);
    file.header.read(*file.stream, GeneralHeader::AnyType);
    bool clean = !file.stream->hasMainError();
    file.stream->close();
    return clean;
}
