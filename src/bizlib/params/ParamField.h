#pragma once

#include "bizlib/FieldType.h"

#include <string_view>

namespace bizlib::params {

// One field of a fixed-layout parameter record: a single value of its type, or `count`
// consecutive values of it (an array field). Widths are in bytes; a DECIMAL(d,p) takes
// d/2+1 bytes of packed digits.
struct ParamField
{
    std::string_view name; // bare name, without the record prefix: "Description"
    FieldType type = FieldType::Long;
    int width = 0; // CString / String: bytes, the NUL of a CString included
    int digits = 0; // Decimal: digits in all
    int places = 0; // Decimal: digits after the point
    int count = 1; // values of an array field

    // Bytes of one value; 0 for a type that has no fixed width.
    constexpr int elementSize() const
    {
        switch (type) {
        case FieldType::Long:
        case FieldType::Date:
        case FieldType::Time:
            return 4;
        case FieldType::UShort:
            return 2;
        case FieldType::Byte:
            return 1;
        case FieldType::CString:
        case FieldType::String:
            return width;
        case FieldType::Decimal:
            return digits / 2 + 1;
        case FieldType::Text:
            return 0;
        }
        return 0;
    }
    constexpr int byteSize() const { return elementSize() * count; }
    constexpr bool isInteger() const
    {
        return type == FieldType::Long || type == FieldType::UShort || type == FieldType::Byte
            || type == FieldType::Date || type == FieldType::Time;
    }
    constexpr bool isText() const { return type == FieldType::CString || type == FieldType::String; }
};

// Field declarations as the record tables write them: field::CString("TaskType", 51).
namespace field {
constexpr ParamField Long(std::string_view name, int count = 1)
{
    return { name, FieldType::Long, 0, 0, 0, count };
}
constexpr ParamField UShort(std::string_view name, int count = 1)
{
    return { name, FieldType::UShort, 0, 0, 0, count };
}
constexpr ParamField Byte(std::string_view name, int count = 1)
{
    return { name, FieldType::Byte, 0, 0, 0, count };
}
constexpr ParamField Date(std::string_view name)
{
    return { name, FieldType::Date, 0, 0, 0, 1 };
}
constexpr ParamField Time(std::string_view name)
{
    return { name, FieldType::Time, 0, 0, 0, 1 };
}
constexpr ParamField CString(std::string_view name, int width)
{
    return { name, FieldType::CString, width, 0, 0, 1 };
}
constexpr ParamField String(std::string_view name, int width)
{
    return { name, FieldType::String, width, 0, 0, 1 };
}
constexpr ParamField Decimal(std::string_view name, int digits, int places, int count = 1)
{
    return { name, FieldType::Decimal, 0, digits, places, count };
}
} // namespace field

} // namespace bizlib::params
