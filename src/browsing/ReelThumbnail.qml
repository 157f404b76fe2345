import QtQuick
import ClipDock

// A reel's picture, decoded at the size it is shown and kept in the image cache: a shimmer while
// it loads, the picture once it has, and a photo symbol on the placeholder colour if it fails.
Item {
    id: thumbnail

    property url source
    property real failureSymbolSize: 20
    readonly property int status: image.status

    // The card or row it belongs to says what the reel is.
    Accessible.ignored: true

    Image {
        id: image
        anchors.fill: parent
        source: thumbnail.source
        asynchronous: true
        cache: true
        fillMode: Image.PreserveAspectCrop
        // Whole pixels only, so that a layout settling by a fraction does not decode again.
        sourceSize.width: Math.ceil(thumbnail.width * Screen.devicePixelRatio)
        sourceSize.height: Math.ceil(thumbnail.height * Screen.devicePixelRatio)
        visible: status === Image.Ready
    }

    ShimmerView {
        anchors.fill: parent
        visible: image.status === Image.Loading
    }

    Rectangle {
        anchors.fill: parent
        visible: image.status === Image.Error || image.status === Image.Null
        color: Theme.surfaceElevated

        Icon {
            anchors.centerIn: parent
            symbol: "photo"
            size: thumbnail.failureSymbolSize
            color: Theme.textTertiary
        }
    }
}
