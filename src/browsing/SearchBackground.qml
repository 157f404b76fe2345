import QtQuick
import ClipDock

// The search screen's backdrop: the theme background lit by a pink-to-violet glow from the
// top-leading corner and a coral glow from the bottom-trailing one.
Rectangle {
    color: Theme.background
    Accessible.ignored: true

    Canvas {
        anchors.fill: parent
        onWidthChanged: requestPaint()
        onHeightChanged: requestPaint()

        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            // "Clear" ends keep the hue of their neighbour so the glow fades out without greying.
            const top = ctx.createRadialGradient(0, 0, 30, 0, 0, 420)
            top.addColorStop(0, Qt.rgba(0.93, 0.22, 0.55, 0.35))
            top.addColorStop(0.5, Qt.rgba(0.61, 0.20, 0.86, 0.18))
            top.addColorStop(1, Qt.rgba(0.61, 0.20, 0.86, 0))
            ctx.fillStyle = top
            ctx.fillRect(0, 0, width, height)

            const bottom = ctx.createRadialGradient(width, height, 20, width, height, 360)
            bottom.addColorStop(0, Qt.rgba(0.99, 0.36, 0.30, 0.22))
            bottom.addColorStop(1, Qt.rgba(0.99, 0.36, 0.30, 0))
            ctx.fillStyle = bottom
            ctx.fillRect(0, 0, width, height)
        }
    }
}
