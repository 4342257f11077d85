#include "Registry.h"

#include "Windows1252.h"

#include <QtEndian>

#include <cmath>
#include <limits>
#include <optional>

namespace tw {
namespace {

// Key and value names pass through the single-byte code page, as they would
// through the registry's ANSI calls. ASCII, every name the program makes
// itself, passes as it is.
QString SingleByte(const QString& text) {
  return IsAscii(text) ? text : DecodeWindows1252(EncodeWindows1252(text));
}

std::optional<qint32> ToDword(const QVariant& value) {
  double number = 0;
  switch (value.typeId()) {
    case QMetaType::Bool:
      return value.toBool() ? 1 : 0;
    case QMetaType::QString: {
      bool ok = false;
      number = value.toString().trimmed().toDouble(&ok);
      if (!ok) return std::nullopt;
      break;
    }
    default: {
      bool ok = false;
      number = value.toDouble(&ok);
      if (!ok) return std::nullopt;
    }
  }
  if (!std::isfinite(number)) return std::nullopt;
  const double rounded = std::nearbyint(number);  // default rounding: half to even
  if (rounded < std::numeric_limits<qint32>::min() || rounded > std::numeric_limits<qint32>::max()) {
    return std::nullopt;
  }
  return static_cast<qint32>(rounded);
}

// The bytes SetRegValue stores for a value of the type; none when it writes
// nothing.
std::optional<QByteArray> StoredBytes(const QVariant& value, RegType type) {
  if (type == RegType::String) return EncodeWindows1252(value.toString());
  if (type != RegType::Dword) return std::nullopt;
  const std::optional<qint32> number = ToDword(value);
  if (!number) return std::nullopt;
  QByteArray data(4, Qt::Uninitialized);
  qToLittleEndian(*number, data.data());
  return data;
}

}  // namespace

Registry::Registry(QString machineStorePath, QString userStorePath, RegistryStore::Reporter reporter)
    : machine_(std::move(machineStorePath), reporter, /*shared=*/true),
      user_(std::move(userStorePath), reporter, /*shared=*/false) {}

void Registry::CreateRegKey(Hive hive, const QString& keyPath) { store(hive).createKey(SingleByte(keyPath)); }

void Registry::DeleteRegKey(Hive hive, const QString& keyPath) { store(hive).deleteKey(SingleByte(keyPath)); }

void Registry::DeleteRegValue(Hive hive, const QString& keyPath, const QString& valueName) {
  store(hive).deleteValue(SingleByte(keyPath), SingleByte(valueName));
}

void Registry::SetRegValue(Hive hive, const QString& keyPath, const QString& valueName, const QVariant& value,
                           RegType type) {
  if (const std::optional<QByteArray> data = StoredBytes(value, type)) {
    store(hive).setValue(SingleByte(keyPath), SingleByte(valueName), static_cast<int>(type), *data);
  }
}

void Registry::UpdateRegValue(Hive hive, const QString& keyPath, const QString& valueName, const QVariant& value,
                              RegType type) {
  const std::optional<QByteArray> data = StoredBytes(value, type);
  if (!data) return;
  const QString path = SingleByte(keyPath);
  const QString name = SingleByte(valueName);
  const auto stored = store(hive).value(path, name);
  if (stored && stored->kind == static_cast<int>(type) && stored->data == *data) return;
  store(hive).setValue(path, name, static_cast<int>(type), *data);
}

void Registry::CreateRegKeyWithTexts(Hive hive, const QString& keyPath, const QList<RegText>& texts) {
  std::vector<RegistryStore::NamedValue> values;
  values.reserve(static_cast<size_t>(texts.size()));
  for (const RegText& text : texts) {
    values.push_back({SingleByte(text.name), static_cast<int>(RegType::String), EncodeWindows1252(text.text)});
  }
  store(hive).createKeyWithValues(SingleByte(keyPath), values);
}

RegValue Registry::QueryRegValue(Hive hive, const QString& keyPath, const QString& valueName) {
  const auto stored = store(hive).value(SingleByte(keyPath), SingleByte(valueName));
  if (!stored) return {};
  if (stored->kind == static_cast<int>(RegType::String)) {
    // Text ends at its first NUL, as the registry's readers see it.
    const qsizetype nul = stored->data.indexOf('\0');
    return RegValue::Text(DecodeWindows1252(nul < 0 ? stored->data : stored->data.left(nul)));
  }
  if (stored->kind == static_cast<int>(RegType::Dword) && stored->data.size() == 4) {
    return RegValue::Number(qFromLittleEndian<qint32>(stored->data.constData()));
  }
  return {};
}

bool Registry::KeyExists(Hive hive, const QString& keyPath) { return store(hive).keyExists(SingleByte(keyPath)); }

RegistryTransaction::RegistryTransaction(Registry& registry, Hive hive)
    : store_(registry.store(hive)), active_(store_.beginTransaction()) {}

RegistryTransaction::~RegistryTransaction() {
  if (active_) store_.rollbackTransaction();
}

bool RegistryTransaction::commit() {
  if (!active_) return false;
  active_ = false;
  return store_.commitTransaction();
}

}  // namespace tw
