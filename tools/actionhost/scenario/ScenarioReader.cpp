// Reading a scenario's typed values, each error located in the file.
#include "scenario/ScenarioReader.h"

#include "scenario/Nearest.h"
#include "scenario/Scenario.h"
#include "scenario/StrictJson.h"

#include "hosting/SimulatedHost.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace actionhost {

namespace {

std::string typeName(const Json& value)
{
    if (value.is_null())
        return "null";
    if (value.is_object())
        return "an object";
    if (value.is_array())
        return "an array";
    if (value.is_string())
        return "a string";
    if (value.is_boolean())
        return "a boolean";
    if (value.is_number())
        return "a number";
    return "a value";
}

unsigned long long magnitudeOf(long long negative)
{
    return static_cast<unsigned long long>(-(negative + 1)) + 1;
}

std::string jsonNumber(double real)
{
    char text[40];
    std::snprintf(text, sizeof(text), "%.17g", real);
    return text;
}

} // namespace

std::string ScenarioReader::kindOf(const Json& value)
{
    return typeName(value);
}

void ScenarioReader::fail(const std::string& path, const std::string& message) const
{
    const std::string place = document_.placeOf(text_, path);
    throw ScenarioError(file_ + (place.empty() ? "" : ":" + place) + ": " + path + ": " + message);
}

void ScenarioReader::onlyKeys(const Json& object, const std::string& path, const std::set<std::string>& allowed) const
{
    for (const JsonMember& member : members(object, path)) {
        if (allowed.count(member.key()) != 0)
            continue;
        const std::string meant = likelyMeant(member.key(), std::vector<std::string>(allowed.begin(), allowed.end()));
        fail(path + "." + member.key(), "unknown key" + (meant.empty() ? "" : "; did you mean \"" + meant + "\"?"));
    }
}

std::vector<JsonMember> ScenarioReader::members(const Json& value, const std::string& path) const
{
    std::vector<JsonMember> out;
    for (const auto& member : object(value, path).items())
        out.push_back(JsonMember{&member.key(), &member.value()});
    std::sort(out.begin(), out.end(),
              [](const JsonMember& a, const JsonMember& b) { return a.key() < b.key(); });
    return out;
}

const Json& ScenarioReader::object(const Json& value, const std::string& path) const
{
    if (!value.is_object())
        fail(path, "expected an object, found " + typeName(value));
    return value;
}

const Json& ScenarioReader::array(const Json& value, const std::string& path) const
{
    if (!value.is_array())
        fail(path, "expected an array, found " + typeName(value));
    return value;
}

std::string ScenarioReader::text(const Json& value, const std::string& path) const
{
    if (!value.is_string())
        fail(path, "expected a string, found " + typeName(value));
    return value.get<std::string>();
}

long long ScenarioReader::integer(const Json& value, const std::string& path, long long min, long long max) const
{
    const Integral number = integral(value, path);
    // min is never above 0 and max never below it.
    const bool inRange = number.negative ? min < 0 && number.magnitude <= magnitudeOf(min)
                                         : number.magnitude <= static_cast<unsigned long long>(max);
    if (!inRange)
        failRange(path, std::to_string(min), std::to_string(max));
    return number.negative ? static_cast<long long>(0 - number.magnitude) : static_cast<long long>(number.magnitude);
}

unsigned long long ScenarioReader::unsignedInteger(const Json& value, const std::string& path) const
{
    const Integral number = integral(value, path);
    if (number.negative && number.magnitude != 0)
        failRange(path, "0", std::to_string(std::numeric_limits<unsigned long long>::max()));
    return number.magnitude;
}

int ScenarioReader::int32(const Json& value, const std::string& path) const
{
    return static_cast<int>(integer(value, path, INT32_MIN, INT32_MAX));
}

bool ScenarioReader::boolean(const Json& value, const std::string& path) const
{
    if (!value.is_boolean())
        fail(path, "expected true or false, found " + typeName(value));
    return value.get<bool>();
}

std::map<std::wstring, std::wstring> ScenarioReader::textMap(const Json& value, const std::string& path) const
{
    std::map<std::wstring, std::wstring> out;
    for (const JsonMember& member : members(value, path))
        out[hosting::widen(member.key())] = hosting::widen(text(member.value(), path + "." + member.key()));
    return out;
}

ScenarioReader::Integral ScenarioReader::integral(const Json& value, const std::string& path) const
{
    Integral number;
    if (!value.is_number())
        fail(path, "expected an integer, found " + typeName(value));
    if (value.is_number_unsigned()) {
        number.magnitude = value.get<unsigned long long>();
    } else if (value.is_number_integer()) {
        const long long signedValue = value.get<long long>();
        number.negative = signedValue < 0;
        number.magnitude = number.negative ? magnitudeOf(signedValue) : static_cast<unsigned long long>(signedValue);
    } else {
        const double real = value.get<double>();
        if (!std::isfinite(real) || std::floor(real) != real)
            fail(path, "expected an integer, found a number with a fraction");
        number.negative = real < 0;
        const double size = std::fabs(real);
        // 2^64: the first magnitude no 64-bit integer has.
        if (size >= 18446744073709551616.0)
            fail(path, "number out of range: " + jsonNumber(real) + " is beyond the 64-bit integers");
        number.magnitude = static_cast<unsigned long long>(size);
    }
    return number;
}

void ScenarioReader::failRange(const std::string& path, const std::string& min, const std::string& max) const
{
    fail(path, "number out of range: expected an integer from " + min + " to " + max);
}

} // namespace actionhost
