#pragma once

#include "bizlib/params/LayoutTable.h"

#include <QAnyStringView>

namespace bizlib::params {

// A view of one record's LayoutTable, whatever its number of fields, for the code that reads
// and writes records by field name at run time. Tables are static, so the view never dangles.
class RecordLayout
{
public:
    template<std::size_t N>
    constexpr RecordLayout(const LayoutTable<N> &table)
        : m_prefix(table.prefix)
        , m_fields(table.fields.data())
        , m_offsets(table.offsets.data())
        , m_count(static_cast<int>(N))
        , m_size(table.size)
    { }

    std::string_view prefix() const { return m_prefix; }
    int size() const { return m_size; }
    int fieldCount() const { return m_count; }
    const ParamField &field(int i) const { return m_fields[i]; }
    int offset(int i) const { return m_offsets[i]; }

    // Index of the field named bare or with the record's prefix ("Description", "WTSKV:Description"),
    // letter case ignored; -1 when the record has no such field.
    int indexOf(QAnyStringView name) const;

    bool operator==(const RecordLayout &o) const { return m_fields == o.m_fields; }

private:
    std::string_view m_prefix;
    const ParamField *m_fields = nullptr;
    const int *m_offsets = nullptr;
    int m_count = 0;
    int m_size = 0;
};

} // namespace bizlib::params
