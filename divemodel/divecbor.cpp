#include "divemodel/divecbor.h"

#include "divemodel/divejsonfields.h"

#include <QCborStreamReader>
#include <QCborStreamWriter>
#include <QCborValue>
#include <QCoreApplication>
#include <QJsonArray>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

using divejson::Field;
using divejson::FieldKind;

namespace {

// Nesting allowed inside a value the dive does not use; the form itself
// goes three levels deep.
constexpr int kSkippedNesting = 16;
// More samples than a computer records in a week at one a second, and far
// more gases than any dive has: a longer list is damage, not a dive.
constexpr qsizetype kLongestList = 1000000;
// Longer than any key of the form.
constexpr qsizetype kKeyCapacity = 32;
// More elements than any array of the form holds; the rest are not kept.
constexpr qsizetype kKeptArrayElements = 64;

template<typename T>
std::span<const Field<T>> fieldsOf();
template<>
std::span<const Field<DiveHeader>> fieldsOf()
{
    return divejson::headerFields();
}
template<>
std::span<const Field<DiveLine>> fieldsOf()
{
    return divejson::lineFields();
}
template<>
std::span<const Field<DiveGas>> fieldsOf()
{
    return divejson::gasFields();
}
template<>
std::span<const Field<Dive>> fieldsOf()
{
    return divejson::diveFields();
}

// The written entries of a table in the order a JSON object keeps its keys:
// sorted, so that the bytes are those of the JSON conversion.
template<typename T>
const std::vector<std::size_t>& writtenOrder()
{
    static const std::vector<std::size_t> order = [] {
        const std::span<const Field<T>> table = fieldsOf<T>();
        std::vector<std::size_t> indices;
        for (std::size_t i = 0; i < table.size(); ++i) {
            if (table[i].write || table[i].kind != FieldKind::Value)
                indices.push_back(i);
        }
        std::sort(indices.begin(), indices.end(),
                  [&](std::size_t a, std::size_t b) { return table[a].key < table[b].key; });
        return indices;
    }();
    return order;
}

// ---- Writing ----

class Writer
{
public:
    explicit Writer(QByteArray* bytes)
        : mWriter(bytes)
    {
    }

    void writeDive(const Dive& dive)
    {
        writeObject(dive, [&](FieldKind kind) {
            switch (kind) {
            case FieldKind::Header:
                writeObject<DiveHeader>(dive);
                break;
            case FieldKind::Lines:
                writeList(dive.lines);
                break;
            case FieldKind::Gases:
                writeList(dive.gases);
                break;
            case FieldKind::Value:
                break;
            }
        });
    }

private:
    template<typename T, typename Nested>
    void writeObject(const T& value, Nested nested)
    {
        const std::span<const Field<T>> table = fieldsOf<T>();
        const std::vector<std::size_t>& order = writtenOrder<T>();
        mWriter.startMap(order.size());
        for (const std::size_t i : order) {
            mWriter.append(table[i].key);
            if (table[i].kind == FieldKind::Value)
                // As the JSON conversion encodes it: whole numbers as integers.
                QCborValue::fromJsonValue(table[i].write(value)).toCbor(mWriter);
            else
                nested(table[i].kind);
        }
        mWriter.endMap();
    }

    template<typename T>
    void writeObject(const T& value)
    {
        writeObject(value, [](FieldKind) {});
    }

    template<typename T>
    void writeList(const QList<T>& list)
    {
        mWriter.startArray(quint64(list.size()));
        for (const T& element : list)
            writeObject(element);
        mWriter.endArray();
    }

    QCborStreamWriter mWriter;
};

// ---- Reading ----

// The entries of a table by key, for the keys as they come.
template<typename T>
class KeyIndex
{
public:
    static const KeyIndex& instance()
    {
        static const KeyIndex index;
        return index;
    }

    // The entry of `key`, or -1. Writers put the keys in one order: the
    // entry after the last one found is tried first.
    int find(QLatin1StringView key, std::size_t& next) const
    {
        if (next < mKeys.size() && mKeys[next].first == key)
            return mKeys[next++].second;
        const auto found = std::lower_bound(mKeys.begin(), mKeys.end(), key,
                                            [](const auto& entry, QLatin1StringView k) { return entry.first < k; });
        if (found == mKeys.end() || found->first != key)
            return -1;
        next = std::size_t(found - mKeys.begin()) + 1;
        return found->second;
    }

private:
    KeyIndex()
    {
        const std::span<const Field<T>> table = fieldsOf<T>();
        for (std::size_t i = 0; i < table.size(); ++i)
            mKeys.emplace_back(table[i].key, int(i));
        std::sort(mKeys.begin(), mKeys.end());
    }

    std::vector<std::pair<QLatin1StringView, int>> mKeys;
};

// The values of one object, an undefined one for each key it lacks.
template<typename T>
class ObjectValues
{
public:
    ObjectValues()
        : mValues(fieldsOf<T>().size())
    {
    }

    void clear() { std::fill(mValues.begin(), mValues.end(), QJsonValue(QJsonValue::Undefined)); }
    QJsonValue& operator[](std::size_t i) { return mValues[i]; }
    const QJsonValue& operator[](std::size_t i) const { return mValues[i]; }

private:
    std::vector<QJsonValue> mValues;
};

template<typename T>
void readInto(T& target, const ObjectValues<T>& values)
{
    divejson::readFields(fieldsOf<T>(), target, [&](std::size_t i) -> const QJsonValue& { return values[i]; });
}

class Reader
{
public:
    explicit Reader(const QByteArray& cbor)
        : mReader(cbor)
    {
    }

    // Reads the encoded dive onto `dive`; false, with the reason in error(),
    // when the encoding is refused.
    bool readDive(Dive& dive)
    {
        if (!mReader.isMap())
            return refuse(QCoreApplication::translate("BinaryFile", "The file holds no dive."));
        mDiveValues.clear();
        mHeaderValues.clear();
        const bool read = readMap(mDiveValues, [&](FieldKind kind) {
            switch (kind) {
            case FieldKind::Header:
                mHeaderValues.clear();
                return mReader.isMap() ? readMap(mHeaderValues) : skip();
            case FieldKind::Lines:
                return readList(mLines, mLineValues);
            case FieldKind::Gases:
                return readList(mGases, mGasValues);
            case FieldKind::Value:
                break;
            }
            return true;
        });
        if (!read)
            return false;
        const std::span<const Field<Dive>> table = divejson::diveFields();
        divejson::readFields(
            table, dive, [&](std::size_t i) -> const QJsonValue& { return mDiveValues[i]; },
            [&](FieldKind kind, std::size_t) {
                switch (kind) {
                case FieldKind::Header:
                    readInto<DiveHeader>(dive, mHeaderValues);
                    break;
                case FieldKind::Lines:
                    dive.lines = std::move(mLines);
                    break;
                case FieldKind::Gases:
                    dive.gases = std::move(mGases);
                    break;
                case FieldKind::Value:
                    break;
                }
            });
        divejson::finishDive(dive);
        return true;
    }

    const QString& error() const { return mError; }

private:
    bool refuse(const QString& reason)
    {
        mError = reason;
        return false;
    }

    bool refuseDamaged()
    {
        return refuse(QCoreApplication::translate("BinaryFile", "The dive data is damaged at byte %1.")
                          .arg(mReader.currentOffset()));
    }

    bool ok() { return mReader.lastError() == QCborError::NoError || refuseDamaged(); }

    bool advance()
    {
        mReader.next();
        return ok();
    }

    bool enter() { return mReader.enterContainer() || refuseDamaged(); }

    // Leaves the container whose elements have all been read.
    bool leave() { return ok() && (mReader.leaveContainer() || refuseDamaged()); }

    // Passes over the current value, whatever it holds.
    bool skip()
    {
        mReader.next(kSkippedNesting);
        return ok();
    }

    // Reads the map at the reader into `values`; the entries of the dive's
    // nested parts go to `nested`. The keys of other values, and keys that
    // are not text, are passed over with their values.
    template<typename T, typename Nested>
    bool readMap(ObjectValues<T>& values, Nested nested)
    {
        const std::span<const Field<T>> table = fieldsOf<T>();
        const KeyIndex<T>& keys = KeyIndex<T>::instance();
        std::size_t next = 0;
        if (!enter())
            return false;
        while (mReader.hasNext()) {
            int index = -1;
            if (!readKey(keys, next, index))
                return false;
            if (index < 0) {
                if (!skip())
                    return false;
                continue;
            }
            const Field<T>& field = table[std::size_t(index)];
            const bool read =
                field.kind == FieldKind::Value ? readValue(values[std::size_t(index)], field.key) : nested(field.kind);
            if (!read)
                return false;
        }
        return leave();
    }

    template<typename T>
    bool readMap(ObjectValues<T>& values)
    {
        return readMap(values, [](FieldKind) { return true; });
    }

    // The entry of the key at the reader, -1 for one the table doesn't have.
    template<typename T>
    bool readKey(const KeyIndex<T>& keys, std::size_t& next, int& index)
    {
        if (!mReader.isString())
            return skip();
        char key[kKeyCapacity];
        qsizetype length = 0;
        for (;;) {
            const auto chunk = mReader.readStringChunk(key + length, kKeyCapacity - length);
            if (chunk.status == QCborStreamReader::Error)
                return refuseDamaged();
            if (chunk.status == QCborStreamReader::EndOfString)
                break;
            length += chunk.data;
        }
        index = length < kKeyCapacity ? keys.find(QLatin1StringView(key, length), next) : -1;
        return ok();
    }

    // A value as its JSON conversion would be: integers beyond 64 bits as
    // doubles, an unknown tag dropped, byte strings and maps, which the form
    // does not use, as null.
    bool readValue(QJsonValue& value, QLatin1StringView key)
    {
        for (;;) {
            switch (mReader.type()) {
            case QCborStreamReader::UnsignedInteger: {
                const quint64 number = mReader.toUnsignedInteger();
                value = number <= quint64(std::numeric_limits<qint64>::max()) ? QJsonValue(qint64(number))
                                                                              : QJsonValue(double(number));
                return advance();
            }
            case QCborStreamReader::NegativeInteger: {
                // The magnitude; -2^63 is the last one a 64-bit integer holds.
                const quint64 magnitude = quint64(mReader.toNegativeInteger());
                value = magnitude <= quint64(std::numeric_limits<qint64>::max()) + 1 ? QJsonValue(qint64(0 - magnitude))
                                                                                       : QJsonValue(-double(magnitude));
                return advance();
            }
            case QCborStreamReader::Float16:
                return readNumber(value, key, double(mReader.toFloat16()));
            case QCborStreamReader::Float:
                return readNumber(value, key, double(mReader.toFloat()));
            case QCborStreamReader::Double:
                return readNumber(value, key, mReader.toDouble());
            case QCborStreamReader::SimpleType:
                value = mReader.isBool() ? QJsonValue(mReader.toBool()) : QJsonValue(QJsonValue::Null);
                return advance();
            case QCborStreamReader::String:
                return readText(value);
            case QCborStreamReader::Array:
                return readArray(value, key);
            case QCborStreamReader::Tag:
                if (!advance())
                    return false;
                continue;
            case QCborStreamReader::ByteArray:
            case QCborStreamReader::Map:
                value = QJsonValue(QJsonValue::Null);
                return skip();
            case QCborStreamReader::Invalid:
                return refuseDamaged();
            }
            return refuseDamaged();
        }
    }

    bool readNumber(QJsonValue& value, QLatin1StringView key, double number)
    {
        if (!std::isfinite(number)) {
            const char* text =
                QT_TRANSLATE_NOOP("BinaryFile", "The dive data holds a value of \"%1\" that is not a finite number.");
            return refuse(QCoreApplication::translate("BinaryFile", text).arg(key));
        }
        value = QJsonValue(number);
        return advance();
    }

    bool readText(QJsonValue& value)
    {
        QString text;
        for (;;) {
            auto chunk = mReader.readString();
            if (chunk.status == QCborStreamReader::Error)
                return refuseDamaged();
            if (chunk.status == QCborStreamReader::EndOfString)
                break;
            text += chunk.data;
        }
        value = QJsonValue(text);
        return ok();
    }

    // An array of values; elements that are containers read as null.
    bool readArray(QJsonValue& value, QLatin1StringView key)
    {
        QJsonArray array;
        if (!enter())
            return false;
        while (mReader.hasNext()) {
            if (array.size() == kKeptArrayElements || mReader.isContainer()) {
                if (array.size() < kKeptArrayElements)
                    array.append(QJsonValue(QJsonValue::Null));
                if (!skip())
                    return false;
                continue;
            }
            QJsonValue element;
            if (!readValue(element, key))
                return false;
            array.append(element);
        }
        value = array;
        return leave();
    }

    // Reads the array at the reader as a list of objects; an element that is
    // not a map reads as an empty object, a value that is not an array as
    // an empty list.
    template<typename T>
    bool readList(QList<T>& list, ObjectValues<T>& values)
    {
        list.clear();
        if (!mReader.isArray())
            return skip();
        if (!enter())
            return false;
        while (mReader.hasNext()) {
            if (list.size() == kLongestList)
                return refuse(QCoreApplication::translate("BinaryFile", "The dive holds more than %1 samples or gases.")
                                  .arg(kLongestList));
            values.clear();
            if (!(mReader.isMap() ? readMap(values) : skip()))
                return false;
            T& element = list.emplaceBack();
            readInto(element, values);
            if constexpr (std::is_same_v<T, DiveLine>)
                divejson::finishLine(element);
        }
        return leave();
    }

    QCborStreamReader mReader;
    ObjectValues<Dive> mDiveValues;
    ObjectValues<DiveHeader> mHeaderValues;
    ObjectValues<DiveLine> mLineValues;
    ObjectValues<DiveGas> mGasValues;
    QList<DiveLine> mLines;
    QList<DiveGas> mGases;
    QString mError;
};

} // namespace

namespace divecbor {

QByteArray encode(const Dive& dive)
{
    QByteArray bytes;
    Writer(&bytes).writeDive(dive);
    return bytes;
}

bool decode(const QByteArray& cbor, Dive& dive, QString& error)
{
    Reader reader(cbor);
    Dive read = dive;
    if (!reader.readDive(read)) {
        error = reader.error();
        return false;
    }
    dive = std::move(read);
    return true;
}

} // namespace divecbor
