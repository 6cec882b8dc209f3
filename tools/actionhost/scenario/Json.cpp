// Parsing a JSON object, and a value as text.
#include "scenario/Json.h"

#include "scenario/Scenario.h"

#include <cctype>
#include <cmath>

namespace actionhost {

namespace {

// Integral numbers written with a fraction or an exponent, as integers.
Json integral(const Json& value)
{
    if (value.is_number_float()) {
        const double real = value.get<double>();
        if (std::isfinite(real) && std::floor(real) == real && std::fabs(real) < 9223372036854775808.0)
            return Json(static_cast<long long>(real));
        return value;
    }
    if (value.is_array()) {
        Json out = Json::array();
        for (const Json& entry : value)
            out.push_back(integral(entry));
        return out;
    }
    if (value.is_object()) {
        Json out = Json::object();
        for (const auto& member : value.items())
            out[member.key()] = integral(member.value());
        return out;
    }
    return value;
}

// The hex digits of \u escapes in capitals, as the runner has always shown
// them ("\u001B").
std::string capitalEscapes(std::string text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '\\')
            continue;
        if (text[i + 1] == 'u')
            for (std::size_t j = i + 2; j < i + 6 && j < text.size(); ++j)
                text[j] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[j])));
        ++i;
    }
    return text;
}

} // namespace

std::string jsonText(const Json& value)
{
    return capitalEscapes(integral(value).dump(-1, ' ', false, Json::error_handler_t::replace));
}

std::string jsonDocument(const Json& value, int indent)
{
    return capitalEscapes(value.dump(indent, ' ', false, Json::error_handler_t::replace));
}

Json parseJsonObject(const std::string& text, const std::string& file, const std::string& what)
{
    Json root;
    try {
        root = Json::parse(text);
    } catch (const Json::exception& error) {
        throw ScenarioError(file + ": invalid JSON: " + error.what());
    }
    if (!root.is_object())
        throw ScenarioError(file + ": $: " + what + " is a JSON object");
    return root;
}

} // namespace actionhost
