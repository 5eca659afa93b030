#pragma once

// The keys of a dive's JSON form, one table per type. The JSON conversion
// and the binary dive file's CBOR encoding both write and read the values
// through these tables, so the forms cannot drift apart.

#include "divemodel/dive.h"

#include <QJsonValue>
#include <QLatin1StringView>

#include <span>

namespace divejson {

// What an entry of the dive's table stands for: a value of its own, or one
// of the nested parts that the two forms each write their own way.
enum class FieldKind { Value, Header, Lines, Gases };

// One key of an object. `write` gives the value of the key (null for a key
// that is only read); `read` takes it back, where a missing key arrives as
// an undefined value and a value of the wrong type reads as a missing one.
template<typename T>
struct Field
{
    QLatin1StringView key;
    QJsonValue (*write)(const T&) = nullptr;
    void (*read)(T&, const QJsonValue&) = nullptr;
    FieldKind kind = FieldKind::Value;
};

std::span<const Field<DiveHeader>> headerFields();
std::span<const Field<DiveLine>> lineFields();
std::span<const Field<DiveGas>> gasFields();
std::span<const Field<Dive>> diveFields();

// What reading a sample or a dive does once its keys are read.
void finishLine(DiveLine& line);
void finishDive(Dive& dive);

// Reads the entries of `table` into `target` in table order: each value
// entry from `valueOf(index)`, each nested one through `nested(kind, index)`.
template<typename T, typename ValueOf, typename Nested>
void readFields(std::span<const Field<T>> table, T& target, ValueOf valueOf, Nested nested)
{
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].kind == FieldKind::Value)
            table[i].read(target, valueOf(i));
        else
            nested(table[i].kind, i);
    }
}

template<typename T, typename ValueOf>
void readFields(std::span<const Field<T>> table, T& target, ValueOf valueOf)
{
    readFields(table, target, valueOf, [](FieldKind, std::size_t) {});
}

} // namespace divejson
