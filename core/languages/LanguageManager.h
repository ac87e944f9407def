#pragma once

#include "VYRQExport.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

class QByteArray;

// Process-wide translations loaded from a JSON language file:
//   { "defaultLanguage": "en", "languages": { "en": { "key": "text", ... }, ... } }
// A load either replaces everything or changes nothing. GUI thread only.
class VYRQTLIB_EXPORT LanguageManager : public QObject {
    Q_OBJECT
public:
    // Files above this size, and any that is not a regular file (a FIFO, a device),
    // are refused unread.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

    static LanguageManager* instance();

    bool loadFromFile(const QString& path, QString* error = nullptr);
    bool loadFromJson(const QByteArray& json, QString* error = nullptr);

    QStringList languages() const;
    QString currentLanguage() const { return m_currentLanguage; }
    QString defaultLanguage() const { return m_defaultLanguage; }
    bool setLanguage(const QString& language);

    // An empty language means the current one.
    bool contains(const QString& key, const QString& language = QString()) const;
    // Current language, then the default language, then a non-null fallback,
    // then the key itself (with a warning, once per language and key).
    QString text(const QString& key, const QString& fallback = QString()) const;

signals:
    void languageChanged(const QString& language);

private:
    explicit LanguageManager(QObject* parent = nullptr);
    QString lookup(const QString& language, const QString& key) const;

    QHash<QString, QHash<QString, QString>> m_translations;
    QString m_defaultLanguage;
    QString m_currentLanguage;
    mutable QSet<QString> m_warnedKeys;
};
