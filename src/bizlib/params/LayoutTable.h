#pragma once

#include "bizlib/params/ParamField.h"

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string_view>

namespace bizlib::params {

namespace detail {

constexpr char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

} // namespace detail

// The computed layout of one record: its fields in order, each field's offset and the total size.
// Built at compile time by makeLayout(), which refuses (as a compile error) a declaration whose
// fields do not add up to the declared size, a field without a width, a decimal of more than 18
// digits, or two fields of the same name.
template<std::size_t N> struct LayoutTable
{
    std::string_view prefix; // "WTSKV"; empty for a record whose names carry no prefix
    std::array<ParamField, N> fields {};
    std::array<int, N> offsets {};
    int size = 0;

    // Offset of the field with this bare name (any letter case); -1 when there is none.
    constexpr int offsetOf(std::string_view name) const
    {
        for (std::size_t i = 0; i < N; ++i) {
            if (detail::sameName(fields[i].name, name))
                return offsets[i];
        }
        return -1;
    }
    // Offset just past the field with this name; -1 when there is none.
    constexpr int endOf(std::string_view name) const
    {
        for (std::size_t i = 0; i < N; ++i) {
            if (detail::sameName(fields[i].name, name))
                return offsets[i] + fields[i].byteSize();
        }
        return -1;
    }
};

// Lays the fields out one after the other with no gaps. Used only in constant expressions, where
// each `throw` below turns a faulty declaration into a compile error that names the fault.
template<std::size_t N>
constexpr LayoutTable<N> makeLayout(std::string_view prefix, int declaredSize, const ParamField (&fields)[N])
{
    LayoutTable<N> table;
    table.prefix = prefix;
    int offset = 0;
    for (std::size_t i = 0; i < N; ++i) {
        const ParamField &f = fields[i];
        if (f.name.empty())
            throw std::logic_error("parameter record field without a name");
        if (f.count < 1 || f.elementSize() < 1)
            throw std::logic_error("parameter record field without a fixed width");
        if (f.type == FieldType::Decimal && (f.digits < 1 || f.digits > 18 || f.places < 0 || f.places > f.digits))
            throw std::logic_error("parameter record decimal out of range");
        for (std::size_t j = 0; j < i; ++j) {
            if (detail::sameName(fields[j].name, f.name))
                throw std::logic_error("parameter record field declared twice");
        }
        table.fields[i] = f;
        table.offsets[i] = offset;
        offset += f.byteSize();
    }
    table.size = offset;
    if (offset != declaredSize)
        throw std::logic_error("parameter record fields do not add up to the declared size");
    return table;
}

} // namespace bizlib::params
