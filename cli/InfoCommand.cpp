#include "InfoCommand.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>

#include <nlohmann/json.hpp>

#include "ChainGaps.h"
#include "ConsoleNotice.h"
#include "data/DataFile.h"
#include "data/DataFileIter.h"
#include "storage/DISK.h"
#include "time/TimeText.h"

namespace {

using nlohmann::ordered_json;

std::string timeText(CTime t) {
    char text[TimeTextMax];
    formatTime(t, text, ShowDate | ShowTime | Time24 | ShowFraction);
    return text;
}

// The shortest decimal that reads back as the same float, so 0.1f shows
// as 0.1 rather than as its double expansion.
double number(float v) {
    char text[32];
    auto r = std::to_chars(text, text + sizeof text, v);
    double d = 0;
    std::from_chars(text, r.ptr, d);
    return d;
}

const char* typeName(unsigned type) {
    static const char* names[] = {"signed 16-bit", "unsigned 16-bit", "float", "unsigned 8-bit"};
    return names[type & 3];
}

const char* checksumName(ChecksumResult r) {
    switch (r) {
        case ChecksumResult::Match: return "ok";
        case ChecksumResult::Mismatch: return "mismatch";
        default: return "not read";
    }
}

ordered_json describeBlock(const DataBlock& b) {
    ordered_json j;
    char address[16];
    std::snprintf(address, sizeof address, "0x%08X", static_cast<unsigned>(b.address));
    j["address"] = address;
    j["start"] = timeText(b.startTime);
    j["intervalTicks"] = b.interval;
    j["samples"] = b.count;
    j["dataType"] = b.dataType();
    j["dataTypeName"] = typeName(b.dataType());
    j["startCode"] = b.startCode;
    j["ownScale"] = b.ownScale != nullptr;
    j["ownAlarms"] = b.ownAlarms != nullptr;
    j["checksum"] = checksumName(b.checksum);
    return j;
}

std::uint64_t sizeOf(const char* path) {
    std::error_code ec;
    const auto size = path ? std::filesystem::file_size(path, ec) : 0;
    return ec ? 0 : size;
}

// Everything the file says about itself. The block list loads every block
// of the chain, samples and checksums included; the summary reads only
// the block headers.
ordered_json describeDataFile(DataFile& df, bool withBlocks) {
    const GeneralHeader& h = df.header();
    ordered_json j;
    j["kind"] = "data";
    j["header"] = {{"version", std::string(1, h.version)}, {"revision", h.revision}, {"type", h.type}, {"text", toUtf8(h.text)}};
    j["checksumsVerified"] = h.checksumsVerified();
    const ScalesHeader& s = df.blocks.fileScale;
    j["label"] = toUtf8(s.label);
    j["scale"] = {{"low", number(s.units.low)},
                  {"middle", number(s.units.point2)},
                  {"high", number(s.units.high)},
                  {"decimals", s.units.decimals},
                  {"midScale", (s.options & 0x40) != 0},
                  {"logarithmic", (s.options & 0x80) != 0}};

    std::uint32_t blocks = 0;
    std::uint64_t samples = 0;
    CTime last;
    ordered_json list = ordered_json::array();
    if (withBlocks) {
        DataFileIter it(df);
        it.toEnd(true);
        last = it.time;
        VArrayIter<DataBlock> walk(df.blocks);
        for (DataBlock* b = walk.first(); b; b = walk.advance(1) ? walk.current() : nullptr) {
            samples += b->count;
            list.push_back(describeBlock(*b));
        }
        blocks = df.blocks.loadedCount();
    } else {
        const ChainSummary chain = summarizeChain(df, sizeOf(df.stream() ? df.stream()->name() : nullptr));
        blocks = chain.blocks;
        samples = chain.samples;
        last = chain.last;
    }
    j["blocks"] = blocks;
    j["samples"] = samples;
    j["firstSample"] = timeText(df.blocks.head->data[0].startTime);
    j["lastSample"] = timeText(last);
    if (withBlocks) j["blockList"] = list;
    return j;
}

double seconds(std::int64_t ticks) { return static_cast<double>(ticks) / static_cast<double>(TicksPerSecond); }

ordered_json describeGaps(const ChainGapReport& r) {
    ordered_json list = ordered_json::array();
    for (const ChainGap& g : r.gaps)
        list.push_back({{"after", timeText(g.after)},
                        {"resumes", timeText(g.resumes)},
                        {"seconds", seconds(g.ticks)},
                        {"startCode", g.startCode},
                        {"break", g.isBreak}});
    return {{"list", list},
            {"recordedSeconds", seconds(static_cast<std::int64_t>(r.recordedTicks))},
            {"gapSeconds", seconds(static_cast<std::int64_t>(r.gapTicks))},
            {"breaks", r.breaks},
            {"blocksSkippedForBadPointers", r.skippedBlocks},
            {"checksumErrors", r.checksumErrors}};
}

void printGaps(const ordered_json& g) {
    char line[160];
    for (const auto& e : g["list"]) {
        std::snprintf(line, sizeof line, "  %s  after %s  resumes %s  %.2f s  start code %d\n", e["break"].get<bool>() ? "break" : "gap  ",
                      e["after"].get<std::string>().c_str(), e["resumes"].get<std::string>().c_str(), e["seconds"].get<double>(),
                      e["startCode"].get<int>());
        std::cout << line;
    }
    std::snprintf(line, sizeof line, "  recorded time: %.2f s\n  gap time:      %.2f s\n", g["recordedSeconds"].get<double>(),
                  g["gapSeconds"].get<double>());
    std::cout << line << "  breaks:        " << g["breaks"] << "\n"
              << "  blocks skipped for bad pointers: " << g["blocksSkippedForBadPointers"] << "\n"
              << "  checksum errors: " << g["checksumErrors"] << "\n";
}

void printText(const std::string& path, const ordered_json& j) {
    std::cout << path << ": ";
    const std::string kind = j.value("kind", "");
    if (kind != "data") {
        std::cout << j.value("description", kind) << "\n";
        return;
    }
    const auto& h = j["header"];
    const auto& s = j["scale"];
    auto num = [](const ordered_json& v) {
        char text[32];
        auto r = std::to_chars(text, text + sizeof text, v.get<double>());
        return std::string(text, r.ptr);
    };
    std::cout << "recorder data file\n"
              << "  header:       version " << h["version"].get<std::string>() << ", revision " << h["revision"]
              << ", type " << h["type"] << ", text \"" << h["text"].get<std::string>() << "\"\n"
              << "  checksums:    " << (j["checksumsVerified"].get<bool>() ? "verified" : "not verified") << "\n"
              << "  label:        \"" << j["label"].get<std::string>() << "\"\n"
              << "  scale:        low " << num(s["low"]) << ", middle " << num(s["middle"]) << ", high " << num(s["high"]) << ", " << s["decimals"] << " decimal places"
              << (s["midScale"].get<bool>() ? ", mid-scale" : "") << (s["logarithmic"].get<bool>() ? ", logarithmic" : "") << "\n"
              << "  blocks:       " << j["blocks"] << "\n"
              << "  samples:      " << j["samples"] << "\n"
              << "  first sample: " << j["firstSample"].get<std::string>() << "\n"
              << "  last sample:  " << j["lastSample"].get<std::string>() << "\n";
    if (j.contains("gaps")) printGaps(j["gaps"]);
    if (!j.contains("blockList")) return;
    for (const auto& b : j["blockList"]) {
        std::cout << "  block " << b["address"].get<std::string>() << "  start " << b["start"].get<std::string>()
                  << "  interval " << b["intervalTicks"] << "  samples " << b["samples"] << "  type " << b["dataType"]
                  << " (" << b["dataTypeName"].get<std::string>() << ")  start code " << b["startCode"]
                  << "  own scale " << (b["ownScale"].get<bool>() ? "yes" : "no") << "  own alarms "
                  << (b["ownAlarms"].get<bool>() ? "yes" : "no") << "  checksum " << b["checksum"].get<std::string>() << "\n";
    }
}

}  // namespace

int runInfo(const InfoOptions& options, ConsoleNotice& notice) {
    ordered_json all = ordered_json::array();
    for (const std::string& path : options.files) {
        notice.beginFile(path);
        ordered_json j;
        auto file = std::make_unique<File>(std::make_unique<DISK>(path));
        if (!identifyFile(*file)) {
            j["kind"] = "unreadable";
            j["description"] = "could not be read";
        } else if (file->header.isEventFile()) {
            j["kind"] = "events";
            j["description"] = "alarm/event file (type " + std::to_string(file->header.type) + "); 'harvex events' exports it";
        } else if (!file->header.isDataFile()) {
            j["kind"] = "unknown";
            j["description"] = "not a recorder data or alarm/event file (file type " + std::to_string(file->header.type) + ")";
            notice.error("Bad Type");
        } else {
            DataFile df(std::move(file));
            // Blocks are dropped for bad pointers as soon as the file opens.
            SkippedBlockCounter counter(&notice);
            if (options.gaps) setUserNotice(&counter);
            df.open();
            ChainGapReport gaps;
            if (df.hasBlocks() && options.gaps) gaps = findChainGaps(df);
            if (options.gaps) setUserNotice(&notice);
            if (df.hasBlocks()) {
                j = describeDataFile(df, options.blocks);
                if (options.gaps) {
                    gaps.skippedBlocks = counter.skipped();
                    j["gaps"] = describeGaps(gaps);
                }
            } else {
                j["kind"] = "unusable";
                j["description"] = "recorder data file without a usable block";
            }
            // Closing reports what loading the later blocks met.
            df.close();
        }
        j["errors"] = notice.fileErrors();
        if (options.json) {
            j["path"] = path;
            all.push_back(j);
        } else {
            printText(path, j);
        }
    }
    if (options.json) std::cout << all.dump(2) << "\n";
    std::cout.flush();
    return notice.totalErrors() ? 1 : 0;
}
