#include "console/Columns.h"

#include "console/ListPicture.h"

namespace console {

std::pair<QString, QString> Columns::split(const QString &field)
{
    const qsizetype colon = field.indexOf(u':');
    return { field.left(colon), field.mid(colon + 1) };
}

ListColumn Columns::text(const QString &title, const QString &field, int width)
{
    const auto [prefix, name] = split(field);
    ListColumn c;
    c.title = title;
    c.text = [prefix, name, width](const ListRow &r) { return ListPicture::text(r.of(prefix).text(name), width); };
    return c;
}

ListColumn Columns::date(const QString &title, const QString &field)
{
    const auto [prefix, name] = split(field);
    ListColumn c;
    c.title = title;
    c.text = [prefix, name](const ListRow &r) { return ListPicture::date(r.of(prefix).toLong(name)); };
    return c;
}

ListColumn Columns::time(const QString &title, const QString &field)
{
    const auto [prefix, name] = split(field);
    ListColumn c;
    c.title = title;
    c.text = [prefix, name](const ListRow &r) { return ListPicture::time(r.of(prefix).toLong(name)); };
    return c;
}

ListColumn Columns::number(const QString &title, const QString &field, bool blankWhenZero)
{
    const auto [prefix, name] = split(field);
    ListColumn c;
    c.title = title;
    c.align = ListColumn::Align::Right;
    c.text = [prefix, name, blankWhenZero](const ListRow &r) {
        return ListPicture::number(r.of(prefix).decimal(name).toInteger(), blankWhenZero);
    };
    return c;
}

ListColumn Columns::decimal(const QString &title, const QString &field, int places, bool blankWhenZero)
{
    const auto [prefix, name] = split(field);
    ListColumn c;
    c.title = title;
    c.align = ListColumn::Align::Right;
    c.text = [prefix, name, places, blankWhenZero](
                 const ListRow &r) { return ListPicture::decimal(r.of(prefix).decimal(name), places, blankWhenZero); };
    return c;
}

ListColumn Columns::flag(const QString &title, const QString &field)
{
    const auto [prefix, name] = split(field);
    ListColumn c;
    c.title = title;
    c.flag = [prefix, name](const ListRow &r) { return r.of(prefix).toLong(name) != 0; };
    return c;
}

ListColumn Columns::iconWhenSet(const QString &title, const QString &field, const QString &icon)
{
    const auto [prefix, name] = split(field);
    ListColumn c;
    c.title = title;
    c.icon = [prefix, name, icon](const ListRow &r) { return r.of(prefix).toLong(name) != 0 ? icon : QString(); };
    return c;
}

} // namespace console
