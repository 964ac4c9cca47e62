#include "icscontent.h"

#include <libical/ical.h>

#include <QList>

#include <algorithm>
#include <memory>
#include <optional>

namespace taskloom {

namespace {

using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

QByteArray taken(char* text)
{
    const std::unique_ptr<char, decltype(&icalmemory_free_buffer)> owned(text,
                                                                         &icalmemory_free_buffer);
    return QByteArray(owned.get());
}

// "NAME;PARAM=a;PARAM=b:value", the parameters sorted.
QByteArray propertyLine(icalproperty* property)
{
    QList<QByteArray> parameters;
    for (icalparameter* p = icalproperty_get_first_parameter(property, ICAL_ANY_PARAMETER);
         p != nullptr; p = icalproperty_get_next_parameter(property, ICAL_ANY_PARAMETER))
        parameters.append(taken(icalparameter_as_ical_string_r(p)));
    std::sort(parameters.begin(), parameters.end());
    QByteArray line = taken(icalproperty_get_property_name_r(property));
    for (const QByteArray& parameter : std::as_const(parameters))
        line += ';' + parameter;
    return line + ':' + taken(icalproperty_get_value_as_string_r(property));
}

// One line a property and a block a component inside, each sorted, in a text
// that no value can forge: values keep their line breaks escaped.
QByteArray canonical(icalcomponent* component)
{
    const icalcomponent_kind kind = icalcomponent_isa(component);
    // An X- component's own name is only in its text, on its first line.
    const QByteArray name =
        kind == ICAL_X_COMPONENT
            ? taken(icalcomponent_as_ical_string_r(component)).split('\r').value(0).mid(6)
            : QByteArray(icalcomponent_kind_to_string(kind));
    QList<QByteArray> lines;
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_ANY_PROPERTY);
         p != nullptr; p = icalcomponent_get_next_property(component, ICAL_ANY_PROPERTY)) {
        if (icalproperty_isa(p) != ICAL_DTSTAMP_PROPERTY)
            lines.append(propertyLine(p));
    }
    QList<QByteArray> inner;
    for (icalcomponent* c = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT);
         c != nullptr; c = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT))
        inner.append(canonical(c));
    std::sort(lines.begin(), lines.end());
    std::sort(inner.begin(), inner.end());
    return "BEGIN:" + name + '\n' + lines.join('\n') + '\n' + inner.join() + "END:" + name + '\n';
}

std::optional<QByteArray> canonical(const QByteArray& text)
{
    const Component root(icalparser_parse_string(text.constData()), &icalcomponent_free);
    if (!root)
        return std::nullopt;
    return canonical(root.get());
}

} // namespace

bool IcsContent::same(const QByteArray& a, const QByteArray& b)
{
    const std::optional<QByteArray> first = canonical(a);
    return first && first == canonical(b);
}

} // namespace taskloom
