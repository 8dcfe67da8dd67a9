#pragma once
// The settings store of one window (or of the data module): restores and
// saves its section below the settings root — the window placement, the
// stored control properties (set through Qt's property system on the child
// found by object name) and named values — and reads and writes single values.

#include "settings/registry.h"
#include "settings/settings_catalogue.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <memory>

class QWidget;

namespace bw {

class RegistryRXL : public QObject
{
    Q_OBJECT
public:
    // A stored control property, by control and property name: {"ChildAutoSave", "Checked"}.
    struct StoredProperty
    {
        QString control;
        QString property;
        settings::Kind kind = settings::Kind::Text;
    };

    enum class Placement {
        None,      // no window placement (data module)
        Main,      // main window: an unknown show state keeps its current state
        Child,     // document window: a minimised one adds flag 1
        FixedSize, // a dialog that cannot be resized: only its position is restored
    };

    // registry: the store's file; nullptr means a Registry of its own on the
    // default file.
    explicit RegistryRXL(QObject *form, settings::Registry *registry = nullptr,
                         QObject *parent = nullptr);
    ~RegistryRXL() override;

    // Configuration.
    void setRoot(const QString &keyPath); // "Software\ORV\Bramblewick 2000\4.0.4.0"
    void setSection(const QString &section);
    void setVersion(int version);
    void setPlacement(Placement placement);
    void setStoredProperties(const QList<StoredProperty> &properties);
    void addNamedValue(const QString &name, const QString &defaultText);
    // Section name, stored properties and named values of a catalogue section.
    void bindSection(settings::Section section);

    QString root() const { return m_root; }
    QString section() const { return m_section; }
    QString sectionKey() const; // root + "\" + section
    int version() const { return m_version; }
    settings::Registry &registry() { return *m_registry; }

    // Restore of the section; false when its FormVersion is missing or lower
    // (nothing restored, no restored() signal).
    bool restore();
    // Whether a restore has given the window a stored rectangle.
    bool placementRestored() const { return m_placementRestored; }
    enum class SaveReason { Normal, Destroying };
    void save(SaveReason reason = SaveReason::Normal);

    // One value of the section, read or written at once (written to disk).
    QString readValue(const QString &name, const QString &defaultText) const;
    void writeValue(const QString &name, const QString &text);
    // The same by catalogue key (must belong to this store's section); the
    // default is the catalogue's.
    QString readValue(settings::Key key) const;
    void writeValue(settings::Key key, const QString &text);

    // Named values (FirstTime): their current text, restored and saved with the section.
    QString namedValue(const QString &name) const;
    void setNamedValue(const QString &name, const QString &text);

    // The Qt property standing for a stored property on a given object:
    // Checked -> "checked", Text -> "text" or "currentText", ItemIndex ->
    // "currentIndex", Color/Selected -> "colorValue" or "color", ...
    static QByteArray qtPropertyName(const QObject *control, const QString &storedProperty);

signals:
    void restored();
    void saved();
    // A property that could not be restored or saved; the rest goes on.
    void propertyFailed(const QString &valueName, const QString &reason);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *placementWidget() const;
    void restorePlacement();
    void savePlacement(SaveReason reason);
    void restoreProperty(const StoredProperty &p);
    void saveProperty(const StoredProperty &p);
    void restoreList(const StoredProperty &p, QObject *control);
    void saveList(const StoredProperty &p, QObject *control);
    std::optional<QString> readRaw(const QString &name) const;
    void writeRaw(const QString &name, const QString &text);
    QString screenSuffix() const;
    QRect keptInView(const QRect &rect, const QWidget *w) const;

    QPointer<QObject> m_form;
    std::unique_ptr<settings::Registry> m_ownRegistry;
    settings::Registry *m_registry;
    QString m_root;
    QString m_section;
    int m_version = 0;
    Placement m_placement = Placement::None;
    QList<StoredProperty> m_properties;
    QList<QString> m_namedOrder;
    QHash<QString, QString> m_named;
    QRect m_normalRect; // last normal (not maximised/minimised) geometry seen
    bool m_formShown = false;
    bool m_placementRestored = false;
};

} // namespace bw
