pragma Singleton
import QtQuick

// The one palette of every screen, always seen on a dark background.
QtObject {
    readonly property color background: Qt.rgba(0.05, 0.05, 0.07, 1)
    readonly property color surface: Qt.rgba(0.10, 0.10, 0.13, 1)
    readonly property color surfaceElevated: Qt.rgba(0.14, 0.14, 0.18, 1)
    readonly property color stroke: Qt.rgba(1, 1, 1, 0.08)
    readonly property color textPrimary: "white"
    readonly property color textSecondary: Qt.rgba(1, 1, 1, 0.62)
    readonly property color textTertiary: Qt.rgba(1, 1, 1, 0.38)
    readonly property color accent: Qt.rgba(0.93, 0.22, 0.55, 1)
    // The brand gradient's stops, evenly spaced from the top-leading corner to the
    // bottom-trailing one; the middle stop is the accent.
    readonly property var brandStops: [Qt.rgba(0.99, 0.36, 0.30, 1), accent,
                                       Qt.rgba(0.61, 0.20, 0.86, 1)]

    // The desktop's own green and red as they look on dark.
    readonly property color green: "#30D158"
    readonly property color red: "#FF453A"

    // The ring round the control that has the keyboard focus: a light tint of the accent, which
    // stands out on the dark background and beside the brand gradient alike.
    readonly property color focusRing: Qt.rgba(1, 0.62, 0.82, 1)

    // Named symbols are drawn with this font; UiCatalog.glyph() gives the character.
    readonly property FontLoader symbolFont: FontLoader {
        source: "qrc:/qt/qml/ClipDock/fonts/MaterialIcons-Regular.ttf"
    }
    readonly property string symbolFamily: symbolFont.name

    function withAlpha(colour, alpha) {
        return Qt.rgba(colour.r, colour.g, colour.b, colour.a * alpha)
    }
}
