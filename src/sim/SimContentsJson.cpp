// The state file: a JSON object that a person can read and edit. Records
// are shown with their fields decoded; a record whose bytes the fields cannot
// reproduce (reserved bytes in use, digits that are not decimal) also carries
// its bytes as "raw" hex, which wins when the file is read back.
#include "sim/SimContents.h"

#include "files/FileError.h"
#include "files/FileIo.h"

#include "sim/SimBytes.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>
#include <limits>

using namespace SimRecords;

namespace {

constexpr const char* kFormatName = "ecr-sim-state";
constexpr int kFormatVersion = 1;
constexpr int kHexLineBytes = 32;
constexpr quint64 kMaxBarcode = 99999999999999ULL;  // 14 digits

QString BarcodeText(quint64 barcode)
{
    return QString::number(barcode);
}

QString Latin1Text(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

// Reads fields of one JSON object, collecting the first error with the
// object's place in the file.
class TFieldReader {
public:
    TFieldReader(const QJsonObject& object, QString where)
        : m_object(object), m_where(std::move(where)) {}

    bool Ok() const { return m_error.isEmpty(); }
    QString Error() const { return m_error; }
    bool Has(const char* key) const { return m_object.contains(QLatin1String(key)); }

    qint64 Integer(const char* key, qint64 min, qint64 max, qint64 fallback = 0)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull())
            return fallback;
        const double number = value.toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!value.isDouble() || std::floor(number) != number || number < double(min)
            || number > double(max)) {
            Fail(key, QStringLiteral("a whole number from %1 to %2").arg(min).arg(max));
            return fallback;
        }
        return static_cast<qint64>(number);
    }

    bool Boolean(const char* key, bool fallback)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull())
            return fallback;
        if (!value.isBool()) {
            Fail(key, QStringLiteral("true or false"));
            return fallback;
        }
        return value.toBool();
    }

    // A text of single-byte characters, at most width of them.
    QByteArray Text(const char* key, int width)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull())
            return {};
        const QString text = value.toString();
        bool singleByte = value.isString() && text.size() <= width;
        for (const QChar c : text)
            singleByte = singleByte && c.unicode() != 0 && c.unicode() <= 0xFF;
        if (!singleByte) {
            Fail(key, QStringLiteral("a text of at most %1 characters from U+0001 to U+00FF").arg(width));
            return {};
        }
        return text.toLatin1();
    }

    // A barcode of up to 14 digits, as a text or a whole number.
    quint64 Barcode(const char* key)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull())
            return 0;
        if (value.isDouble())
            return static_cast<quint64>(Integer(key, 0, qint64(kMaxBarcode)));
        const QString text = value.toString();
        bool ok = value.isString() && !text.isEmpty() && text.size() <= 14;
        for (const QChar c : text)
            ok = ok && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!ok) {
            Fail(key, QStringLiteral("up to 14 decimal digits"));
            return 0;
        }
        return text.toULongLong();
    }

    // Hex digits (blanks allowed) of exactly byteCount bytes; an array of
    // such texts is joined first.
    QByteArray Hex(const char* key, int byteCount)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        QString text;
        if (value.isArray()) {
            for (const QJsonValue& line : value.toArray())
                text += line.toString();
        } else {
            text = value.toString();
        }
        text.remove(QLatin1Char(' '));
        bool ok = text.size() == 2 * byteCount;
        for (const QChar c : text)
            ok = ok && (c.isDigit() || (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')));
        if (!ok) {
            Fail(key, QStringLiteral("%1 bytes in hexadecimal").arg(byteCount));
            return QByteArray(byteCount, '\0');
        }
        return QByteArray::fromHex(text.toLatin1());
    }

    void Fail(const char* key, const QString& expected)
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("%1.%2: expected %3").arg(m_where, QLatin1String(key), expected);
    }

private:
    QJsonObject m_object;
    QString m_where;
    QString m_error;
};

template <std::size_t N>
std::array<quint8, N> ToArray(const QByteArray& bytes)
{
    std::array<quint8, N> out{};
    std::copy(bytes.cbegin(), bytes.cbegin() + std::min<qsizetype>(bytes.size(), N), out.begin());
    return out;
}

template <std::size_t N>
QString ToHex(const std::array<quint8, N>& bytes)
{
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(bytes.data()), N).toHex(' '));
}

QJsonObject PluToJson(int number, const PluBytes& bytes)
{
    const PluFields f = DecodePlu(bytes);
    QJsonObject o;
    o[QStringLiteral("number")] = number;
    o[QStringLiteral("barcode")] = BarcodeText(f.barcode);
    o[QStringLiteral("name")] = Latin1Text(f.name);
    o[QStringLiteral("price")] = f.price;
    o[QStringLiteral("department")] = f.department + 1;
    o[QStringLiteral("stocks_milli")] = f.stocksMilli;
    o[QStringLiteral("flag")] = f.flag;
    if (EncodePlu(f) != bytes)
        o[QStringLiteral("raw")] = ToHex(bytes);
    return o;
}

QJsonObject DepartmentToJson(int number, const DepartmentBytes& bytes)
{
    const DepartmentFields f = DecodeDepartment(bytes);
    QJsonObject o;
    o[QStringLiteral("number")] = number;
    o[QStringLiteral("name")] = Latin1Text(f.name);
    o[QStringLiteral("tax")] = f.tax + 1;
    o[QStringLiteral("price")] = f.price;
    if (EncodeDepartment(f) != bytes)
        o[QStringLiteral("raw")] = ToHex(bytes);
    return o;
}

QJsonArray HexLines(const quint8* bytes, int count)
{
    QJsonArray lines;
    for (int at = 0; at < count; at += kHexLineBytes) {
        const QByteArray line(reinterpret_cast<const char*>(bytes + at), std::min(kHexLineBytes, count - at));
        lines.append(QString::fromLatin1(line.toHex(' ')));
    }
    return lines;
}

constexpr qint64 kInt32Min = std::numeric_limits<qint32>::min();
constexpr qint64 kInt32Max = std::numeric_limits<qint32>::max();

PluBytes PluFromJson(TFieldReader& r)
{
    if (r.Has("raw"))
        return ToArray<Plu::kBytes>(r.Hex("raw", Plu::kBytes));
    PluFields f;
    f.barcode = r.Barcode("barcode");
    f.name = r.Text("name", Plu::kNameBytes);
    f.price = static_cast<qint32>(r.Integer("price", kInt32Min, kInt32Max));
    f.department = static_cast<quint8>(r.Integer("department", 1, 256, 1) - 1);
    f.stocksMilli = static_cast<qint32>(r.Integer("stocks_milli", kInt32Min, kInt32Max));
    f.flag = static_cast<quint8>(r.Integer("flag", 0, 255));
    return EncodePlu(f);
}

DepartmentBytes DepartmentFromJson(TFieldReader& r)
{
    if (r.Has("raw"))
        return ToArray<Department::kBytes>(r.Hex("raw", Department::kBytes));
    DepartmentFields f;
    f.name = r.Text("name", Department::kNameBytes);
    f.tax = static_cast<quint8>(r.Integer("tax", 1, 256, 1) - 1);
    f.price = static_cast<qint32>(r.Integer("price", kInt32Min, kInt32Max));
    return EncodeDepartment(f);
}

bool ReadArray(const QJsonObject& json, const char* key, QJsonArray* out, QString* error)
{
    const QJsonValue value = json.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull()) {
        *out = {};
        return true;
    }
    if (!value.isArray()) {
        *error = QStringLiteral("%1: expected a list").arg(QLatin1String(key));
        return false;
    }
    *out = value.toArray();
    return true;
}

bool ObjectAt(const QJsonArray& list, qsizetype i, const char* key, QJsonObject* out, QString* error)
{
    if (!list.at(i).isObject()) {
        *error = QStringLiteral("%1[%2]: expected an object").arg(QLatin1String(key)).arg(i);
        return false;
    }
    *out = list.at(i).toObject();
    return true;
}

} // namespace

QJsonObject TSimContents::ToJson() const
{
    QJsonObject json;
    json[QStringLiteral("format")] = QLatin1String(kFormatName);
    json[QStringLiteral("version")] = kFormatVersion;
    json[QStringLiteral("price_decimals")] = m_priceDecimals;
    json[QStringLiteral("report_state")] = m_reportState;

    QJsonArray plus;
    for (std::size_t i = 0; i < m_plus.size(); ++i) {
        if (m_plus[i] != PluBytes{})
            plus.append(PluToJson(int(i) + 1, m_plus[i]));
    }
    json[QStringLiteral("plus")] = plus;

    QJsonArray departments;
    for (int i = 0; i < kDepartmentCount; ++i)
        departments.append(DepartmentToJson(i + 1, m_departments[static_cast<std::size_t>(i)]));
    json[QStringLiteral("departments")] = departments;

    json[QStringLiteral("parameters")] = HexLines(m_parameters.data(), int(m_parameters.size()));

    QJsonArray totals;
    for (const TotalsFields& t : m_totals) {
        QJsonObject o;
        o[QStringLiteral("barcode")] = BarcodeText(t.barcode);
        o[QStringLiteral("quantity_milli")] = t.quantityMilli;
        o[QStringLiteral("total")] = static_cast<qint64>(t.total);
        totals.append(o);
    }
    json[QStringLiteral("totals")] = totals;
    return json;
}

bool TSimContents::FromJson(const QJsonObject& json, QString* error)
{
    if (json.value(QStringLiteral("format")).toString() != QLatin1String(kFormatName)) {
        *error = QStringLiteral("format: expected \"%1\"").arg(QLatin1String(kFormatName));
        return false;
    }
    TSimContents loaded;
    TFieldReader top(json, QStringLiteral("state"));
    top.Integer("version", 1, kFormatVersion, kFormatVersion);
    loaded.m_priceDecimals = static_cast<quint8>(top.Integer("price_decimals", 0, 9, 2));
    loaded.m_reportState = static_cast<quint8>(top.Integer("report_state", 0, 255, 0));
    if (json.contains(QStringLiteral("parameters"))) {
        const QByteArray block = top.Hex("parameters", int(loaded.m_parameters.size()));
        loaded.m_parameters = ToArray<Parameters::kBytes>(block);
    }
    if (!top.Ok()) {
        *error = top.Error();
        return false;
    }

    QJsonArray list;
    if (!ReadArray(json, "plus", &list, error))
        return false;
    for (qsizetype i = 0; i < list.size(); ++i) {
        QJsonObject o;
        if (!ObjectAt(list, i, "plus", &o, error))
            return false;
        TFieldReader r(o, QStringLiteral("plus[%1]").arg(i));
        const qint64 number = r.Integer("number", 1, kPluCount, 0);
        const PluBytes record = PluFromJson(r);
        if (number == 0)
            r.Fail("number", QStringLiteral("a PLU number from 1 to %1").arg(kPluCount));
        if (!r.Ok()) {
            *error = r.Error();
            return false;
        }
        loaded.SetPlu(number - 1, record);
    }

    if (!ReadArray(json, "departments", &list, error))
        return false;
    for (qsizetype i = 0; i < list.size(); ++i) {
        QJsonObject o;
        if (!ObjectAt(list, i, "departments", &o, error))
            return false;
        TFieldReader r(o, QStringLiteral("departments[%1]").arg(i));
        const qint64 number = r.Integer("number", 1, kDepartmentCount, 0);
        const DepartmentBytes record = DepartmentFromJson(r);
        if (number == 0)
            r.Fail("number", QStringLiteral("a department number from 1 to %1").arg(kDepartmentCount));
        if (!r.Ok()) {
            *error = r.Error();
            return false;
        }
        loaded.SetDepartment(number - 1, record);
    }

    if (!ReadArray(json, "totals", &list, error))
        return false;
    if (list.size() > kMaxTotals) {
        *error = QStringLiteral("totals: at most %1 records").arg(kMaxTotals);
        return false;
    }
    for (qsizetype i = 0; i < list.size(); ++i) {
        QJsonObject o;
        if (!ObjectAt(list, i, "totals", &o, error))
            return false;
        TFieldReader r(o, QStringLiteral("totals[%1]").arg(i));
        TotalsFields t;
        t.barcode = r.Barcode("barcode");
        t.quantityMilli = static_cast<qint32>(r.Integer("quantity_milli", kInt32Min, kInt32Max));
        t.total = static_cast<quint64>(r.Integer("total", 0, qint64(Totals::kMaxTotal)));
        if (!r.Ok()) {
            *error = r.Error();
            return false;
        }
        loaded.m_totals.push_back(t);
    }

    *this = std::move(loaded);
    return true;
}

bool TSimContents::LoadFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        *error = QStringLiteral("%1: not a JSON object (%2 at offset %3)")
                     .arg(path, parseError.errorString())
                     .arg(parseError.offset);
        return false;
    }
    QString detail;
    if (!FromJson(document.object(), &detail)) {
        *error = QStringLiteral("%1: %2").arg(path, detail);
        return false;
    }
    return true;
}

bool TSimContents::SaveFile(const QString& path, QString* error) const
{
    try {
        WriteFileAtomically(path, QJsonDocument(ToJson()).toJson(QJsonDocument::Indented));
    } catch (const FileError& failure) {
        *error = failure.Message();
        return false;
    }
    return true;
}
