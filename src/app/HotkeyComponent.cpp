#include "HotkeyComponent.h"

#include "Shortcut.h"

namespace kelvos {

namespace {
constexpr quint16 kKeyPart = 0x1FFF;

struct ModifierName {
    quint16 flag;
    const char* name;
};
constexpr ModifierName kModifierNames[] = {
    {shortcut::Shift, "hkShift"}, {shortcut::Ctrl, "hkCtrl"}, {shortcut::Alt, "hkAlt"}};

StreamSet modifierSet(quint16 word) {
    StreamSet set;
    for (const ModifierName& modifier : kModifierNames)
        if (word & modifier.flag)
            set.elements << QString::fromLatin1(modifier.name);
    return set;
}

quint16 modifierFlags(const StreamSet& set) {
    quint16 flags = 0;
    for (const ModifierName& modifier : kModifierNames)
        if (set.elements.contains(QLatin1String(modifier.name), Qt::CaseInsensitive))
            flags |= modifier.flag;
    return flags;
}
} // namespace

StreamedComponent hotkeyEditorComponent(const QString& name, quint16 shortcut, const QRect& place) {
    StreamedComponent component;
    component.className = QStringLiteral("THotKey");
    component.name = name;
    component.setProperty("Left", StreamValue{qint64(place.left())});
    component.setProperty("Top", StreamValue{qint64(place.top())});
    component.setProperty("Width", StreamValue{qint64(place.width())});
    component.setProperty("Height", StreamValue{qint64(place.height())});
    component.setProperty("HotKey", StreamValue{qint64(shortcut)});
    component.setProperty("InvalidKeys", StreamValue{StreamSet{{"hcNone", "hcShift"}}});
    component.setProperty("Modifiers", StreamValue{modifierSet(shortcut)});
    return component;
}

std::optional<quint16> shortcutOfHotkeyComponent(const StreamedComponent& component) {
    if (component.className.compare(QLatin1String("THotKey"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const quint16 word = quint16(component.integerProperty(u"HotKey").value_or(0x0041));
    quint16 modifiers = shortcut::Alt; // the editor's default modifiers
    if (const StreamValue* set = component.property(u"Modifiers")) {
        if (const auto* elements = std::get_if<StreamSet>(&set->data))
            modifiers = modifierFlags(*elements);
    } else if (component.property(u"HotKey")) {
        modifiers = word & ~kKeyPart; // only the word itself was stored
    }
    return quint16((word & kKeyPart) | modifiers);
}

} // namespace kelvos
