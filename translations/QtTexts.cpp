// Not compiled. Qt's own texts that the program shows: the context menus of the edit
// fields and of the list, and the button of its message boxes. Listed here so that
// lupdate puts them in the program's translation beside its own texts, since Debian
// ships no Romanian translation of Qt.

QT_TRANSLATE_NOOP("QLineEdit", "&Undo")
QT_TRANSLATE_NOOP("QLineEdit", "&Redo")
QT_TRANSLATE_NOOP("QLineEdit", "Cu&t")
QT_TRANSLATE_NOOP("QLineEdit", "&Copy")
QT_TRANSLATE_NOOP("QLineEdit", "&Paste")
QT_TRANSLATE_NOOP("QLineEdit", "Delete")
QT_TRANSLATE_NOOP("QLineEdit", "Select All")

QT_TRANSLATE_NOOP("QWidgetTextControl", "&Undo")
QT_TRANSLATE_NOOP("QWidgetTextControl", "&Redo")
QT_TRANSLATE_NOOP("QWidgetTextControl", "Cu&t")
QT_TRANSLATE_NOOP("QWidgetTextControl", "&Copy")
QT_TRANSLATE_NOOP("QWidgetTextControl", "Copy &Link Location")
QT_TRANSLATE_NOOP("QWidgetTextControl", "&Paste")
QT_TRANSLATE_NOOP("QWidgetTextControl", "Delete")
QT_TRANSLATE_NOOP("QWidgetTextControl", "Select All")

QT_TRANSLATE_NOOP("QPlatformTheme", "OK")
