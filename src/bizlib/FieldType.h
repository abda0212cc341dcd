#pragma once

#include <QString>

namespace bizlib {

enum class FieldType {
    Long,    // 4-byte signed integer
    UShort,  // 2-byte unsigned integer
    Byte,    // 1 byte; a 0/1 flag unless the description says otherwise
    Date,    // day number, 0 = none
    Time,    // hundredths of a second since midnight + 1, 0 = none
    CString, // at most size-1 characters
    String,  // at most size characters (blank padding is not stored)
    Decimal, // digits in all, places after the point
    Text,    // long text without a width limit
};

// One field of a table description.
struct FieldDef
{
    QString name;   // bare name as written after the prefix: "QuoteID"
    FieldType type = FieldType::Long;
    int size = 0;   // CString/String width
    int digits = 0; // Decimal
    int places = 0; // Decimal

    bool isText() const { return type == FieldType::CString || type == FieldType::String || type == FieldType::Text; }
    bool isInteger() const
    {
        return type == FieldType::Long || type == FieldType::UShort || type == FieldType::Byte
               || type == FieldType::Date || type == FieldType::Time;
    }
    // Characters a stored text keeps; 0 when unlimited.
    int maxChars() const
    {
        switch (type) {
        case FieldType::CString: return size > 0 ? size - 1 : 0;
        case FieldType::String: return size;
        default: return 0;
        }
    }
    // "LONG", "CSTRING(51)", "DECIMAL(15,2)" ...
    QString typeName() const;
};

namespace Type {
inline FieldDef Long() { return {{}, FieldType::Long}; }
inline FieldDef UShort() { return {{}, FieldType::UShort}; }
inline FieldDef Byte() { return {{}, FieldType::Byte}; }
inline FieldDef Date() { return {{}, FieldType::Date}; }
inline FieldDef Time() { return {{}, FieldType::Time}; }
inline FieldDef CString(int n) { return {{}, FieldType::CString, n}; }
inline FieldDef String(int n) { return {{}, FieldType::String, n}; }
inline FieldDef Decimal(int d, int p) { return {{}, FieldType::Decimal, 0, d, p}; }
inline FieldDef Text() { return {{}, FieldType::Text}; }
} // namespace Type

} // namespace bizlib
