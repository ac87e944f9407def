#include "LanguageManager.h"

#include "VYRQRegularFile.h"

#include <QByteArray>
#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <algorithm>

namespace {

void setError(QString* error, const QString& message)
{
    if (error)
        *error = message;
}

QString invalidJson(const QString& reason)
{
    return QStringLiteral("Invalid language JSON: %1").arg(reason);
}

QString cannotOpen(const QString& path, const QString& reason)
{
    return QStringLiteral("Unable to open language file '%1': %2").arg(path, reason);
}

QString tooLarge()
{
    return invalidJson(QStringLiteral("document is larger than %1 bytes").arg(LanguageManager::MaxFileSize));
}

} // namespace

LanguageManager::LanguageManager(QObject* parent)
    : QObject(parent)
{
}

LanguageManager* LanguageManager::instance()
{
    // Never destroyed: other singletons may still use it while statics are torn down.
    static LanguageManager* const manager = new LanguageManager(nullptr);
    return manager;
}

bool LanguageManager::loadFromFile(const QString& path, QString* error)
{
    QByteArray data;
    int code = 0;
    const vyr::FileRead result = vyr::readRegularFile(path, MaxFileSize, data, nullptr, &code);
    switch (result) {
    case vyr::FileRead::Read:
        return loadFromJson(data, error);
    case vyr::FileRead::TooLarge:
        setError(error, tooLarge());
        return false;
    case vyr::FileRead::NotRegular:
        setError(error, cannotOpen(path, QString::fromLatin1(vyr::fileReadText(result))));
        return false;
    case vyr::FileRead::Missing:
    case vyr::FileRead::Failed:
        break;
    }
    setError(error, cannotOpen(path, qt_error_string(code)));
    return false;
}

bool LanguageManager::loadFromJson(const QByteArray& json, QString* error)
{
    if (json.size() > MaxFileSize) {
        setError(error, tooLarge());
        return false;
    }

    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        setError(error, invalidJson(parseError.errorString()));
        return false;
    }
    // The parser accepts a top-level array without complaint, so its own text
    // would read "no error occurred".
    if (!doc.isObject()) {
        setError(error, invalidJson(QStringLiteral("document is not an object")));
        return false;
    }

    const QJsonObject root = doc.object();
    const QString defaultLanguage = root.value(QLatin1String("defaultLanguage")).toString();
    const QJsonValue languagesValue = root.value(QLatin1String("languages"));
    if (defaultLanguage.isEmpty() || !languagesValue.isObject()) {
        setError(error, QStringLiteral("Language JSON requires defaultLanguage and a languages object."));
        return false;
    }

    QHash<QString, QHash<QString, QString>> translations;
    const QJsonObject languagesObject = languagesValue.toObject();
    for (auto lang = languagesObject.constBegin(); lang != languagesObject.constEnd(); ++lang) {
        const QString language = lang.key();
        if (!lang.value().isObject() || lang.value().toObject().isEmpty()) {
            setError(error, QStringLiteral("Language '%1' must contain at least one translation.").arg(language));
            return false;
        }
        const QJsonObject entries = lang.value().toObject();
        QHash<QString, QString>& table = translations[language];
        table.reserve(entries.size());
        for (auto entry = entries.constBegin(); entry != entries.constEnd(); ++entry) {
            if (!entry.value().isString()) {
                setError(error, QStringLiteral("Translation '%1' in language '%2' must be a string.")
                                    .arg(entry.key(), language));
                return false;
            }
            table.insert(entry.key(), entry.value().toString());
        }
    }

    if (!translations.contains(defaultLanguage)) {
        setError(error, QStringLiteral("Default language '%1' does not exist in languages.").arg(defaultLanguage));
        return false;
    }

    if (!translations.contains(m_currentLanguage))
        m_currentLanguage = defaultLanguage;
    m_translations = std::move(translations);
    m_defaultLanguage = defaultLanguage;
    m_warnedKeys.clear();
    emit languageChanged(m_currentLanguage);
    return true;
}

QStringList LanguageManager::languages() const
{
    QStringList names = m_translations.keys();
    // Names differing only in case still get a stable order.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

bool LanguageManager::setLanguage(const QString& language)
{
    if (!m_translations.contains(language))
        return false;
    if (language == m_currentLanguage)
        return true;
    m_currentLanguage = language;
    m_warnedKeys.clear();
    emit languageChanged(m_currentLanguage);
    return true;
}

bool LanguageManager::contains(const QString& key, const QString& language) const
{
    return !lookup(language.isEmpty() ? m_currentLanguage : language, key).isNull();
}

QString LanguageManager::text(const QString& key, const QString& fallback) const
{
    QString found = lookup(m_currentLanguage, key);
    if (found.isNull() && m_currentLanguage != m_defaultLanguage)
        found = lookup(m_defaultLanguage, key);
    if (!found.isNull())
        return found;
    if (!fallback.isNull())
        return fallback;

    const QString warnedKey = m_currentLanguage + QLatin1Char(':') + key;
    if (!m_warnedKeys.contains(warnedKey)) {
        m_warnedKeys.insert(warnedKey);
        qWarning() << "Missing translation key" << key << "for language" << m_currentLanguage;
    }
    return key;
}

QString LanguageManager::lookup(const QString& language, const QString& key) const
{
    const auto lang = m_translations.constFind(language);
    if (lang == m_translations.constEnd())
        return QString();
    const auto entry = lang->constFind(key);
    return entry == lang->constEnd() ? QString() : *entry;
}

#include "moc_LanguageManager.cpp"
