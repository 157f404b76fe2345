import QtQuick

// A small indeterminate progress ring.
Item {
    id: spinner

    property color color: "white"
    property real size: 16

    implicitWidth: size
    implicitHeight: size
    Accessible.ignored: true

    Canvas {
        anchors.fill: parent
        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            const line = Math.max(1.5, spinner.size / 8)
            ctx.lineWidth = line
            ctx.lineCap = "round"
            ctx.strokeStyle = spinner.color
            ctx.beginPath()
            ctx.arc(width / 2, height / 2, (Math.min(width, height) - line) / 2, 0, Math.PI * 1.5)
            ctx.stroke()
        }
    }

    RotationAnimator on rotation {
        from: 0
        to: 360
        duration: 900
        loops: Animation.Infinite
        running: spinner.visible
    }
}
