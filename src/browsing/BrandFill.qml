import QtQuick
import ClipDock

// A rounded rectangle filled with the brand gradient, running from the top-leading corner to the
// bottom-trailing one, with an optional drop shadow. Drawn on a canvas, which gives the diagonal
// gradient, antialiased corners and a soft shadow on every scene graph backend.
Item {
    id: fill

    property real radius: 0
    property color shadowColor: "transparent"
    property real shadowRadius: 0
    property real shadowY: 0

    Accessible.ignored: true

    Canvas {
        id: canvas

        readonly property real margin: fill.shadowColor.a > 0
                                        ? fill.shadowRadius * 2 + Math.abs(fill.shadowY) : 0

        x: -margin
        y: -margin
        width: fill.width + 2 * margin
        height: fill.height + 2 * margin

        onWidthChanged: requestPaint()
        onHeightChanged: requestPaint()

        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            if (fill.width <= 0 || fill.height <= 0)
                return
            const gradient = ctx.createLinearGradient(margin, margin, margin + fill.width,
                                                      margin + fill.height)
            const stops = Theme.brandStops
            for (let i = 0; i < stops.length; ++i)
                gradient.addColorStop(i / (stops.length - 1), stops[i])
            ctx.fillStyle = gradient
            if (margin > 0) {
                ctx.shadowColor = fill.shadowColor
                ctx.shadowBlur = fill.shadowRadius
                ctx.shadowOffsetY = fill.shadowY
            }
            const r = Math.min(fill.radius, fill.width / 2, fill.height / 2)
            ctx.beginPath()
            ctx.roundedRect(margin, margin, fill.width, fill.height, r, r)
            ctx.fill()
        }
    }

    onRadiusChanged: canvas.requestPaint()
    onShadowColorChanged: canvas.requestPaint()
}
