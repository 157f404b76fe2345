import QtQuick
import ClipDock

// A named symbol drawn with the icon font. Screen readers pass over it: a control it decorates
// names itself.
Text {
    property string symbol
    property real size: 14

    text: UiCatalog.glyph(symbol)
    color: Theme.textPrimary
    font.family: Theme.symbolFamily
    font.pixelSize: size
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    Accessible.ignored: true
}
