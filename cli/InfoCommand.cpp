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
#include "events/EventFile.h"
#include "storage/DISK.h"
#include "storage/IO.h"
#include "time/TimeText.h"

namespace {

using nlohmann::ordered_json;

// JSON readers expect ISO 8601: "YYYY-MM-DDTHH:MM:SS.ss", made from the
// month-first text so both forms give the same digits.
std::string timeText(CTime t) {
    char text[TimeTextMax];
    formatTime(t, text, ShowDate | ShowTime | Time24 | ShowFraction);
    const std::string us = text;
    const std::size_t space = us.find(' ');
    return us.substr(6, space - 6) + "-" + us.substr(0, 2) + "-" + us.substr(3, 2) + "T" + us.substr(space + 1);
}

// The text form keeps "MM/DD/YYYY HH:MM:SS.ss".
std::string shown(const ordered_json& iso) {
    const std::string s = iso.get<std::string>();
    const std::size_t t = s.find('T');
    return s.substr(t - 5, 2) + "/" + s.substr(t - 2, 2) + "/" + s.substr(0, t - 6) + " " + s.substr(t + 1);
}

std::string hex(std::uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(address));
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
    j["address"] = hex(b.address);
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
ordered_json describeHeader(const GeneralHeader& h) {
    return {{"version", std::string(1, h.version)}, {"revision", h.revision}, {"type", h.type}, {"text", toUtf8(h.text)}};
}

ordered_json describeDataFile(DataFile& df, bool withBlocks) {
    ordered_json j;
    j["kind"] = "data";
    j["header"] = describeHeader(df.header());
    j["checksumsVerified"] = df.header().checksumsVerified();
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
    // A block refused or cut short ends the chain; name it.
    if (const BlockList::Stop stop = df.blocks.stop(); withBlocks && stop.code)
        j["stoppedAt"] = {{"address", hex(stop.address)}, {"error", messageForCode(stop.code)}};
    return j;
}

const char* eventKind(std::uint8_t code) {
    if (code >= 9 && code <= 11) return "alarm";  // High, Low, Rate
    if (code == 12) return "clear";
    if (code == 64 || code == 65) return "event";  // a digital input
    if (code == 66 || code == 67) return "power";
    return "other";
}

// The ring as the header lays it out and the records read from it; the
// stream's close reports what cut the reading short.
ordered_json describeEventFile(std::unique_ptr<File> file) {
    EventFile ev(std::move(file));
    ev.readEvents();
    ordered_json j;
    j["kind"] = "events";
    j["header"] = describeHeader(ev.file->header);
    j["inputs"] = ev.inputCount;
    j["ring"] = {{"start", ev.headerSize},
                 {"slots", ev.wrapPos > ev.headerSize ? (ev.wrapPos - ev.headerSize) / EventFile::RecordSize : 0},
                 {"oldest", ev.firstPos},
                 {"newest", ev.lastPos()},
                 {"wrap", ev.wrapPos}};
    j["records"] = ev.count;
    ordered_json kinds = {{"alarm", 0}, {"clear", 0}, {"event", 0}, {"power", 0}, {"other", 0}};
    VArrayIter<Event> walk(ev.events);
    std::uint32_t n = 0;
    for (Event* e = walk.first(); e && n < ev.count; e = walk.advance(1) ? walk.current() : nullptr, ++n) {
        kinds[eventKind(e->code)] = kinds[eventKind(e->code)].get<int>() + 1;
        if (n == 0) j["firstEvent"] = timeText(e->time);
        j["lastEvent"] = timeText(e->time);
    }
    j["kinds"] = kinds;
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
                      shown(e["after"]).c_str(), shown(e["resumes"]).c_str(), e["seconds"].get<double>(),
                      e["startCode"].get<int>());
        std::cout << line;
    }
    std::snprintf(line, sizeof line, "  recorded time: %.2f s\n  gap time:      %.2f s\n", g["recordedSeconds"].get<double>(),
                  g["gapSeconds"].get<double>());
    std::cout << line << "  breaks:        " << g["breaks"] << "\n"
              << "  blocks skipped for bad pointers: " << g["blocksSkippedForBadPointers"] << "\n"
              << "  checksum errors: " << g["checksumErrors"] << "\n";
}

void printHeader(const ordered_json& h) {
    std::cout << "  header:       version " << h["version"].get<std::string>() << ", revision " << h["revision"] << ", type "
              << h["type"] << ", text \"" << h["text"].get<std::string>() << "\"\n";
}

void printEvents(const ordered_json& j) {
    const auto& r = j["ring"];
    const auto& k = j["kinds"];
    std::cout << "recorder alarm/event file\n";
    printHeader(j["header"]);
    std::cout << "  inputs:       " << j["inputs"] << " with state labels\n"
              << "  ring:         " << r["slots"] << " slots from offset " << r["start"] << ", oldest at " << r["oldest"] << ", newest at "
              << r["newest"] << ", upper run ends at " << r["wrap"] << "\n"
              << "  records:      " << j["records"] << "\n";
    if (j.contains("firstEvent"))
        std::cout << "  first event:  " << shown(j["firstEvent"]) << "\n"
                  << "  last event:   " << shown(j["lastEvent"]) << "\n";
    std::cout << "  kinds:        alarm " << k["alarm"] << ", clear " << k["clear"] << ", event " << k["event"] << ", power "
              << k["power"] << ", other " << k["other"] << "\n";
}

void printStop(const ordered_json& j) {
    if (j.contains("stoppedAt"))
        std::cout << "  stopped at:   " << j["stoppedAt"]["address"].get<std::string>() << ": " << j["stoppedAt"]["error"].get<std::string>() << "\n";
}

void printText(const std::string& path, const ordered_json& j) {
    std::cout << path << ": ";
    const std::string kind = j.value("kind", "");
    if (kind == "events") return printEvents(j);
    if (kind != "data") {
        std::cout << j.value("description", kind) << "\n";
        printStop(j);
        return;
    }
    const auto& s = j["scale"];
    auto num = [](const ordered_json& v) {
        char text[32];
        auto r = std::to_chars(text, text + sizeof text, v.get<double>());
        return std::string(text, r.ptr);
    };
    std::cout << "recorder data file\n";
    printHeader(j["header"]);
    std::cout << "  checksums:    " << (j["checksumsVerified"].get<bool>() ? "verified" : "not verified") << "\n"
              << "  label:        \"" << j["label"].get<std::string>() << "\"\n"
              << "  scale:        low " << num(s["low"]) << ", middle " << num(s["middle"]) << ", high " << num(s["high"]) << ", " << s["decimals"] << " decimal places"
              << (s["midScale"].get<bool>() ? ", mid-scale" : "") << (s["logarithmic"].get<bool>() ? ", logarithmic" : "") << "\n"
              << "  blocks:       " << j["blocks"] << "\n"
              << "  samples:      " << j["samples"] << "\n"
              << "  first sample: " << shown(j["firstSample"]) << "\n"
              << "  last sample:  " << shown(j["lastSample"]) << "\n";
    if (j.contains("gaps")) printGaps(j["gaps"]);
    if (!j.contains("blockList")) return;
    for (const auto& b : j["blockList"]) {
        std::cout << "  block " << b["address"].get<std::string>() << "  start " << shown(b["start"])
                  << "  interval " << b["intervalTicks"] << "  samples " << b["samples"] << "  type " << b["dataType"]
                  << " (" << b["dataTypeName"].get<std::string>() << ")  start code " << b["startCode"]
                  << "  own scale " << (b["ownScale"].get<bool>() ? "yes" : "no") << "  own alarms "
                  << (b["ownAlarms"].get<bool>() ? "yes" : "no") << "  checksum " << b["checksum"].get<std::string>() << "\n";
    }
    printStop(j);
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
            j = describeEventFile(std::move(file));
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
                if (const BlockList::Stop stop = df.blocks.stop(); options.blocks && stop.code)
                    j["stoppedAt"] = {{"address", hex(stop.address)}, {"error", messageForCode(stop.code)}};
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
