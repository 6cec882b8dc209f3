// Reading a scenario's typed values, each error located in the file.
#include "scenario/ScenarioReader.h"

#include "scenario/Nearest.h"
#include "scenario/Scenario.h"
#include "scenario/StrictJson.h"

#include "hosting/SimulatedHost.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace actionhost {

namespace {

std::string typeName(const Poco::Dynamic::Var& value)
{
    if (value.isEmpty())
        return "null";
    if (value.type() == typeid(Poco::JSON::Object::Ptr))
        return "an object";
    if (value.type() == typeid(Poco::JSON::Array::Ptr))
        return "an array";
    if (value.isString())
        return "a string";
    if (value.isBoolean())
        return "a boolean";
    if (value.isNumeric())
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

std::string ScenarioReader::kindOf(const Poco::Dynamic::Var& value)
{
    return typeName(value);
}

void ScenarioReader::fail(const std::string& path, const std::string& message) const
{
    const std::string place = locateJsonPath(text_, path);
    throw ScenarioError(file_ + (place.empty() ? "" : ":" + place) + ": " + path + ": " + message);
}

void ScenarioReader::onlyKeys(const Poco::JSON::Object::Ptr& object, const std::string& path,
                              const std::set<std::string>& allowed) const
{
    for (const auto& member : *object) {
        if (allowed.count(member.first) != 0)
            continue;
        const std::string meant = likelyMeant(member.first, std::vector<std::string>(allowed.begin(), allowed.end()));
        fail(path + "." + member.first, "unknown key" + (meant.empty() ? "" : "; did you mean \"" + meant + "\"?"));
    }
}

Poco::JSON::Object::Ptr ScenarioReader::object(const Poco::Dynamic::Var& value, const std::string& path) const
{
    if (value.type() != typeid(Poco::JSON::Object::Ptr))
        fail(path, "expected an object, found " + typeName(value));
    return value.extract<Poco::JSON::Object::Ptr>();
}

Poco::JSON::Array::Ptr ScenarioReader::array(const Poco::Dynamic::Var& value, const std::string& path) const
{
    if (value.type() != typeid(Poco::JSON::Array::Ptr))
        fail(path, "expected an array, found " + typeName(value));
    return value.extract<Poco::JSON::Array::Ptr>();
}

std::string ScenarioReader::text(const Poco::Dynamic::Var& value, const std::string& path) const
{
    if (!value.isString())
        fail(path, "expected a string, found " + typeName(value));
    return value.convert<std::string>();
}

long long ScenarioReader::integer(const Poco::Dynamic::Var& value, const std::string& path, long long min, long long max) const
{
    const Integral number = integral(value, path);
    // min is never above 0 and max never below it.
    const bool inRange = number.negative ? min < 0 && number.magnitude <= magnitudeOf(min)
                                         : number.magnitude <= static_cast<unsigned long long>(max);
    if (!inRange)
        failRange(path, std::to_string(min), std::to_string(max));
    return number.negative ? static_cast<long long>(0 - number.magnitude) : static_cast<long long>(number.magnitude);
}

unsigned long long ScenarioReader::unsignedInteger(const Poco::Dynamic::Var& value, const std::string& path) const
{
    const Integral number = integral(value, path);
    if (number.negative && number.magnitude != 0)
        failRange(path, "0", std::to_string(std::numeric_limits<unsigned long long>::max()));
    return number.magnitude;
}

int ScenarioReader::int32(const Poco::Dynamic::Var& value, const std::string& path) const
{
    return static_cast<int>(integer(value, path, INT32_MIN, INT32_MAX));
}

bool ScenarioReader::boolean(const Poco::Dynamic::Var& value, const std::string& path) const
{
    if (!value.isBoolean())
        fail(path, "expected true or false, found " + typeName(value));
    return value.convert<bool>();
}

std::map<std::wstring, std::wstring> ScenarioReader::textMap(const Poco::Dynamic::Var& value, const std::string& path) const
{
    std::map<std::wstring, std::wstring> out;
    for (const auto& member : *object(value, path))
        out[hosting::widen(member.first)] = hosting::widen(text(member.second, path + "." + member.first));
    return out;
}

ScenarioReader::Integral ScenarioReader::integral(const Poco::Dynamic::Var& value, const std::string& path) const
{
    Integral number;
    if (value.isBoolean() || !value.isNumeric())
        fail(path, "expected an integer, found " + typeName(value));
    if (value.type() == typeid(Poco::UInt64) || value.type() == typeid(Poco::UInt32)) {
        number.magnitude = value.convert<Poco::UInt64>();
    } else if (value.isInteger()) {
        const long long signedValue = value.convert<Poco::Int64>();
        number.negative = signedValue < 0;
        number.magnitude = number.negative ? magnitudeOf(signedValue) : static_cast<unsigned long long>(signedValue);
    } else {
        const double real = value.convert<double>();
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
