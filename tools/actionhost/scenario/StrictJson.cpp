// The strict JSON reader: one SAX pass over the text, locating what it finds.
#include "scenario/StrictJson.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iterator>
#include <set>
#include <vector>

namespace actionhost {

namespace {

std::string lineAndColumn(const std::string& text, std::size_t offset)
{
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return std::to_string(line) + ":" + std::to_string(column);
}

// The opening quote of the key just read: the last quote before the lexer's
// place that is not escaped, but one.
std::size_t openingQuoteOfKey(const std::string& text, std::size_t consumed)
{
    std::size_t at = std::min(consumed, text.size());
    bool closing = true;
    while (at > 0) {
        --at;
        if (text[at] != '"')
            continue;
        std::size_t backslashes = 0;
        while (at > backslashes && text[at - 1 - backslashes] == '\\')
            ++backslashes;
        if (backslashes % 2 != 0)
            continue;
        if (closing)
            closing = false;
        else
            return at;
    }
    return 0;
}

// Reads JSON text once into the document, for what a plain parser does not
// tell: the line and column of an error, keys given twice (a parser keeps
// the last), and integers beyond 64 bits; and where each key and container
// stands. Events are located through the count of bytes the lexer has read
// when they arrive: it reads no further than a brace or a bracket before
// the event for it.
class StrictReader : public nlohmann::json::json_sax_t {
public:
    StrictReader(const std::string& text, const std::size_t& consumed, StrictDocument& document)
        : text_(text), consumed_(consumed), document_(document)
    {
    }

    bool null() override { return value(Json()); }
    bool boolean(bool given) override { return value(Json(given)); }
    bool number_integer(number_integer_t given) override { return value(Json(given)); }
    bool number_unsigned(number_unsigned_t given) override { return value(Json(given)); }
    bool number_float(number_float_t given, const string_t& raw) override
    {
        if (raw.find_first_of(".eE") == std::string::npos) {
            std::size_t at = consumed_ >= raw.size() ? consumed_ - raw.size() : 0;
            while (at > 0 && text_.compare(at, raw.size(), raw) != 0)
                --at;
            return fail(at, path(), "number out of range: " + raw + " is beyond the 64-bit integers");
        }
        return value(Json(given));
    }
    bool string(string_t& given) override { return value(Json(std::move(given))); }
    bool binary(binary_t&) override { return value(Json()); }
    bool start_object(std::size_t) override
    {
        if (!value(Json::object()))
            return false;
        frames_.push_back(Frame());
        return true;
    }
    bool key(string_t& name) override
    {
        Frame& frame = frames_.back();
        frame.key = name;
        // A reader of the key as C text would cut it at the NUL, so it is
        // refused, with the NUL shown as it was written.
        if (name.find('\0') != std::string::npos) {
            std::string shown;
            for (char c : name)
                shown += c == '\0' ? std::string("\\u0000") : std::string(1, c);
            frame.key = shown;
            return fail(keyStart(), path(), "a key holds U+0000 (NUL)");
        }
        frame.name = name;
        if (!frame.keys.insert(name).second)
            return fail(keyStart(), path(), "duplicate key \"" + name + "\"");
        document_.places.emplace(path(), keyStart());
        return true;
    }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override
    {
        if (!value(Json::array()))
            return false;
        Frame frame;
        frame.array = true;
        frames_.push_back(frame);
        return true;
    }
    bool end_array() override { return close(); }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::json::exception& error) override
    {
        std::string reason = error.what();
        const std::size_t colon = reason.find(": ", reason.find("column"));
        if (colon != std::string::npos)
            reason.erase(0, colon + 2);
        return fail(position > 0 ? position - 1 : 0, path(), "invalid JSON: " + reason);
    }

private:
    struct Frame {
        bool array = false;
        long index = -1;
        std::string key;   // as shown in paths
        std::string name;  // as given
        std::set<std::string> keys;
    };

    // Puts the value in its place in the document; a container becomes the
    // one the next values go into. A container's parent is not changed
    // while it is open, so the pointers held stay valid.
    bool value(Json&& given)
    {
        if (!frames_.empty() && frames_.back().array)
            ++frames_.back().index;
        document_.places.emplace(path(), consumed_ > 0 ? consumed_ - 1 : 0);
        const bool container = given.is_object() || given.is_array();
        Json* placed = nullptr;
        if (containers_.empty()) {
            document_.root = std::move(given);
            placed = &document_.root;
        } else if (containers_.back()->is_array()) {
            containers_.back()->push_back(std::move(given));
            placed = &containers_.back()->back();
        } else {
            placed = &((*containers_.back())[frames_.back().name] = std::move(given));
        }
        if (container) {
            containers_.push_back(placed);
            document_.spans[path()].begin = consumed_ > 0 ? consumed_ - 1 : 0;
        }
        return true;
    }

    // A container ends: its span ends after its closing brace or bracket.
    bool close()
    {
        frames_.pop_back();
        containers_.pop_back();
        document_.spans[path()].end = consumed_;
        return true;
    }

    std::string path() const
    {
        std::string out = "$";
        for (const Frame& frame : frames_) {
            if (frame.array) {
                if (frame.index >= 0)
                    out += "[" + std::to_string(frame.index) + "]";
            } else if (!frame.key.empty()) {
                out += "." + frame.key;
            }
        }
        return out;
    }

    std::size_t keyStart() const { return openingQuoteOfKey(text_, consumed_); }

    // Keeps the error and stops the parse.
    bool fail(std::size_t offset, const std::string& where, const std::string& reason)
    {
        document_.error = JsonError{lineAndColumn(text_, offset), where, reason};
        return false;
    }

    const std::string& text_;
    const std::size_t& consumed_;
    StrictDocument& document_;
    std::vector<Frame> frames_;
    std::vector<Json*> containers_;
};

// An input iterator over the text that counts the bytes read through it.
class CountingIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    CountingIterator(const char* at, std::size_t* count) : at_(at), count_(count) {}
    reference operator*() const { return *at_; }
    CountingIterator& operator++()
    {
        ++at_;
        ++*count_;
        return *this;
    }
    CountingIterator operator++(int)
    {
        CountingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const CountingIterator& other) const { return at_ == other.at_; }
    bool operator!=(const CountingIterator& other) const { return at_ != other.at_; }

private:
    const char* at_;
    std::size_t* count_;
};

} // namespace

StrictDocument readStrictJson(const std::string& text)
{
    StrictDocument document;
    std::size_t consumed = 0;
    StrictReader reader(text, consumed, document);
    nlohmann::json::sax_parse(CountingIterator(text.data(), &consumed),
                              CountingIterator(text.data() + text.size(), &consumed), &reader);
    if (document.error)
        document.root = Json();
    return document;
}

std::string StrictDocument::placeOf(const std::string& text, const std::string& path) const
{
    const auto found = places.find(path);
    return found == places.end() ? std::string() : lineAndColumn(text, found->second);
}

} // namespace actionhost
