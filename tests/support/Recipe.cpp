#include "support/Recipe.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <variant>
#include <vector>

#include "support/RecorderFileBuilder.h"

namespace testfile {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

std::uint64_t ticksPerSample(std::int32_t interval) {
    return interval > 0 ? std::uint64_t(interval) : std::uint64_t(-std::int64_t(interval)) * 100;
}

// Words of a line; "key=value" pairs, a bare word has an empty value.
Pairs split(const std::string& line) {
    Pairs out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        if (i == line.size()) break;
        std::string word;
        bool quoted = false;
        for (; i < line.size() && (quoted || line[i] != ' '); ++i) {
            char c = line[i];
            if (c == '"') { quoted = !quoted; continue; }
            if (c == '\\' && quoted && i + 1 < line.size()) {
                c = line[++i];
                if (c == 'x' && i + 2 < line.size()) {
                    c = static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
                    i += 2;
                }
            }
            word += c;
        }
        const std::size_t eq = word.find('=');
        out.emplace_back(word.substr(0, eq), eq == std::string::npos ? "" : word.substr(eq + 1));
    }
    return out;
}

std::vector<std::string> fields(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::string part;
    std::istringstream in(s);
    while (std::getline(in, part, sep)) out.push_back(part);
    return out;
}

long long integer(const std::string& s) {
    std::size_t used = 0;
    const bool hex = s.rfind("0x", 0) == 0 || s.rfind("-0x", 0) == 0;
    const long long v = std::stoll(s, &used, hex ? 16 : 10);
    if (used != s.size()) throw std::invalid_argument(s);
    return v;
}

// A float given as a number, or as its bits with 0x.
std::uint32_t floatWord(const std::string& s) {
    if (s.rfind("0x", 0) == 0) return static_cast<std::uint32_t>(integer(s));
    return floatBits(std::strtof(s.c_str(), nullptr));
}

std::vector<double> list(const std::string& s, bool asFloat) {
    std::vector<double> out;
    for (const std::string& item : fields(s, ',')) {
        const auto star = item.find('*');
        const auto dots = item.find("..");
        auto number = [&](const std::string& t) { return asFloat ? std::strtod(t.c_str(), nullptr) : double(integer(t)); };
        if (star != std::string::npos) {
            out.insert(out.end(), std::size_t(integer(item.substr(star + 1))), number(item.substr(0, star)));
        } else if (dots != std::string::npos) {
            const auto slash = item.find('/');
            const long long a = integer(item.substr(0, dots)), b = integer(item.substr(dots + 2, slash - dots - 2));
            const long long step = slash == std::string::npos ? 1 : integer(item.substr(slash + 1));
            for (long long v = a; step > 0 ? v <= b : v >= b; v += step) out.push_back(double(v));
        } else {
            out.push_back(number(item));
        }
    }
    return out;
}

template <typename T>
std::vector<T> as(const std::vector<double>& v) {
    return std::vector<T>(v.begin(), v.end());
}

std::uint64_t time(const std::string& s, std::uint64_t relativeTo) {
    if (!s.empty() && s[0] == '+') return relativeTo + std::uint64_t(std::llround(std::stod(s.substr(1)) * 10000));
    int y, mo, d, h, mi, sec, frac = 0;
    if (std::sscanf(s.c_str(), "%d-%d-%dT%d:%d:%d.%4d", &y, &mo, &d, &h, &mi, &sec, &frac) < 6)
        throw std::invalid_argument(s);
    return ticksAt(y, mo, d, h, mi, sec, frac);
}

AlarmSpec alarm(const std::string& s) {
    const auto parts = fields(s, '/');
    AlarmSpec a;
    a.mask = static_cast<std::uint8_t>(integer(parts.at(0)));
    std::size_t next = 1;
    for (int bit = 0; bit < 5 && next < parts.size(); ++bit) {
        if (!(a.mask >> bit & 1)) continue;
        const auto f = fields(parts[next++], ',');
        a.records[bit] = {floatWord(f.at(0)), floatWord(f.at(1)), std::uint8_t(integer(f.at(2))), std::uint8_t(integer(f.at(3)))};
    }
    return a;
}

const std::uint64_t DefaultStart = ticksAt(2001, 3, 5, 14, 5, 0);

struct EventRecipe {
    EventFileBuilder file;
    std::vector<EventSpec> events;
    std::optional<std::pair<std::size_t, std::size_t>> ring;
    std::optional<std::int32_t> first, last, wrap;

    EventFileBuilder build() const {
        EventFileBuilder b = file;
        if (ring) b.wrapped(ring->first, ring->second, events);
        else b.linear(events);
        if (first) b.firstPos = *first;
        if (last) b.lastPos = *last;
        if (wrap) b.wrapPos = *wrap;
        return b;
    }
};

class RecipeReader {
public:
    explicit RecipeReader(std::string directory) : directory_(std::move(directory)) {}

    void line(const std::string& text) {
        Pairs words = split(text);
        if (words.empty() || words[0].first[0] == '#') return;
        const std::string verb = words[0].first;
        words.erase(words.begin());
        if (verb == "data") startData(words);
        else if (verb == "alm") startEvents(words);
        else if (verb == "block") addBlock(words);
        else if (verb.rfind("block#", 0) == 0) setBlock(data().blocks.at(std::size_t(integer(verb.substr(6)))), words, false);
        else if (verb == "event") addEvent(words);
        else throw std::invalid_argument("unknown word " + verb);
    }

    void write() const {
        for (const auto& name : order_) {
            const auto& made = recipes_.at(name);
            if (auto d = std::get_if<DataFileBuilder>(&made)) writeFile(directory_ + "/" + name, d->build());
            else writeFile(directory_ + "/" + name, std::get<EventRecipe>(made).build().build());
        }
    }

private:
    void begin(const std::string& name, const Pairs& words, const std::variant<DataFileBuilder, EventRecipe>& blank) {
        auto from = words.size() > 1 && words[1].first == "from" ? recipes_.find(words[1].second) : recipes_.end();
        if (recipes_.count(name) == 0) order_.push_back(name);
        recipes_[name] = from != recipes_.end() ? from->second : blank;
        current_ = name;
    }

    // The words after a file's name.
    static Pairs options(const Pairs& words) { return Pairs(words.begin() + 1, words.end()); }

    DataFileBuilder& data() { return std::get<DataFileBuilder>(recipes_.at(current_)); }
    EventRecipe& events() { return std::get<EventRecipe>(recipes_.at(current_)); }

    void startData(const Pairs& words) {
        begin(words.at(0).first, words, DataFileBuilder{});
        DataFileBuilder& b = data();
        for (const auto& [k, v] : options(words)) {
            if (k == "version") b.version = v.at(0);
            else if (k == "revision") b.revision = std::uint8_t(integer(v));
            else if (k == "type") b.type = std::uint8_t(integer(v));
            else if (k == "ident") b.ident = v;
            else if (k == "label") b.fileScale.label = v;
            else if (k == "opt") b.fileScale.options = std::uint8_t(integer(v));
            else if (k == "first") b.firstBlock = std::uint32_t(integer(v));
            else if (k == "last") b.lastBlock = std::uint32_t(integer(v));
            else if (k == "alarm") b.fileAlarm = alarm(v);
            else if (k == "scale") {
                const auto f = fields(v, ',');
                b.fileScale.low = floatWord(f.at(0));
                b.fileScale.middle = floatWord(f.at(1));
                b.fileScale.high = floatWord(f.at(2));
            } else if (k != "from") throw std::invalid_argument(k);
        }
    }

    void addBlock(const Pairs& words) {
        DataFileBuilder& b = data();
        BlockSpec s;
        std::uint64_t end = DefaultStart;
        if (!b.blocks.empty()) {
            const BlockSpec& p = b.blocks.back();
            const std::size_t width = p.type == Float32 ? 4 : p.type == Unsigned8 ? 1 : 2;
            end = p.start + p.samples.size() / width * ticksPerSample(p.interval);
        }
        s.start = end;
        std::size_t repeat = 1;
        for (const auto& [k, v] : words)
            if (k == "repeat") repeat = std::size_t(integer(v));
        setBlock(s, words, true, end);
        b.add(s);
        for (std::size_t i = 1; i < repeat; ++i) {
            BlockSpec copy = b.blocks.back();
            const std::size_t width = copy.type == Float32 ? 4 : copy.type == Unsigned8 ? 1 : 2;
            copy.start += copy.samples.size() / width * ticksPerSample(copy.interval);
            b.add(copy);
        }
    }

    void setBlock(BlockSpec& s, const Pairs& words, bool fresh, std::uint64_t end = DefaultStart) {
        for (const auto& [k, v] : words) {
            if (k == "at") s.start = time(v, fresh ? end : s.start);
            else if (k == "every") s.interval = std::int32_t(v.back() == 's' ? std::llround(std::stod(v) * 10000) : integer(v));
            else if (k == "i16") s.i16(as<std::int16_t>(list(v, false)));
            else if (k == "u16") s.u16(as<std::uint16_t>(list(v, false)));
            else if (k == "u8") s.u8(as<std::uint8_t>(list(v, false)));
            else if (k == "f32") s.f32(as<float>(list(v, true)));
            else if (k == "bits") {
                std::vector<std::uint32_t> w;
                for (const auto& f : fields(v, ',')) w.push_back(floatWord(f));
                s.f32bits(w);
            } else if (k == "type") s.type = DataType(integer(v));
            else if (k == "code") s.startCode = std::uint8_t(integer(v));
            else if (k == "gap") s.gapBefore = std::size_t(integer(v));
            else if (k == "count") s.byteCount = std::uint16_t(integer(v));
            else if (k == "prev") s.prev = std::uint32_t(integer(v));
            else if (k == "nextblock") s.nextIndex = int(integer(v));
            else if (k == "badcrc") s.badChecksum = true;
            else if (k == "alarm") s.alarm = alarm(v);
            else if (k == "scale") {
                const auto f = fields(v, ',');
                s.scale = ScaleSpec{f.at(0), floatWord(f.at(1)), floatWord(f.at(2)), floatWord(f.at(3)), std::uint8_t(integer(f.at(4)))};
            } else if (k != "repeat") throw std::invalid_argument(k);
        }
    }

    void startEvents(const Pairs& words) {
        begin(words.at(0).first, words, EventRecipe{});
        EventRecipe& r = events();
        auto position = [&](const std::string& v) {
            return v[0] == '@' ? r.file.slot(std::size_t(integer(v.substr(1)))) : std::int32_t(integer(v));
        };
        for (const auto& [k, v] : options(words)) {
            if (k == "version") r.file.version = v.at(0);
            else if (k == "revision") r.file.revision = std::uint8_t(integer(v));
            else if (k == "type") r.file.type = std::uint8_t(integer(v));
            else if (k == "ident") r.file.ident = v;
            else if (k == "labels") {
                r.file.labels.clear();
                for (const auto& pair : fields(v, ';')) {
                    const auto bar = pair.find('|');
                    r.file.labels.emplace_back(pair.substr(0, bar), bar == std::string::npos ? "" : pair.substr(bar + 1));
                }
            } else if (k == "ring") {
                const auto f = fields(v, ':');
                r.ring = std::make_pair(std::size_t(integer(f.at(0))), std::size_t(integer(f.at(1))));
            } else if (k == "first") r.first = position(v);
            else if (k == "last") r.last = position(v);
            else if (k == "wrap") r.wrap = position(v);
            else if (k != "from") throw std::invalid_argument(k);
        }
    }

    // With repeat=N, N such events, each `at` after the one before.
    void addEvent(const Pairs& words) {
        EventRecipe& r = events();
        std::size_t repeat = 1;
        for (const auto& [k, v] : words)
            if (k == "repeat") repeat = std::size_t(integer(v));
        for (std::size_t i = 0; i < repeat; ++i) {
            EventSpec e;
            e.time = r.events.empty() ? DefaultStart : r.events.back().time;
            for (const auto& [k, v] : words) {
                if (k == "at") e.time = time(v, e.time);
                else if (k == "point") e.point = std::uint8_t(integer(v));
                else if (k == "alarm") e.alarm = std::uint8_t(integer(v));
                else if (k == "code") e.code = std::uint8_t(integer(v));
                else if (k == "value" || k == "bits") e.value = floatWord(v);
                else if (k != "repeat") throw std::invalid_argument(k);
            }
            r.events.push_back(e);
        }
    }

    std::string directory_;
    std::map<std::string, std::variant<DataFileBuilder, EventRecipe>> recipes_;
    std::vector<std::string> order_;
    std::string current_;
};

}  // namespace

void writeRecipe(std::istream& in, const std::string& directory) {
    RecipeReader reader(directory);
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        try {
            reader.line(text);
        } catch (const std::exception& e) {
            throw RecipeError("recipe line " + std::to_string(number) + ": " + e.what() + ": " + text);
        }
    }
    reader.write();
}

}  // namespace testfile
