import QtQuick
import ClipDock

// One reel in the grid: its picture with the duration, the view count, where its download
// stands and, in selection mode, whether it is selected. `compact` shrinks badges and corners for
// grids of more than three columns. Everything stays inside the card: on the narrowest cards the
// figures shrink, the play symbol gives way, and the card clips what is left.
Item {
    id: card

    required property string reelId
    required property url thumbnailURL
    required property var durationSeconds
    required property var viewCount
    required property bool selected
    property bool isSelectionMode: false
    property bool compact: false
    // A DownloadState, or undefined while the reel was never queued.
    property var downloadState
    readonly property string downloadKind: ProfilePresentation.downloadKind(downloadState)
    readonly property real cornerRadius: compact ? 10 : 16
    // Compact badges sit 5 from the corner and pad their figures by 5, both 3 on the narrowest
    // cards, and may reach to 2 from the trailing edge.
    readonly property real badgeSpace: width < 48 ? 3 : 5

    signal tapped()
    signal longPressed()

    clip: true
    scale: selected ? 0.97 : 1
    // Tab reaches the card, and Space, Return or Enter do what a tap does.
    activeFocusOnTab: true
    Keys.onSpacePressed: tapped()
    Keys.onReturnPressed: tapped()
    Keys.onEnterPressed: tapped()
    Accessible.role: Accessible.ListItem
    Accessible.name: qsTr("Reel, %1, %2 views").arg(ProfilePresentation.duration(durationSeconds))
                                                .arg(ProfilePresentation.count(viewCount))
    Accessible.description: downloadKind === "completed" ? savedText.text : ""
    Accessible.selectable: isSelectionMode
    Accessible.selected: selected
    Behavior on scale { Spring { response: 0.32; dampingFraction: 0.75 } }

    ReelThumbnail {
        objectName: "thumbnail"
        anchors.fill: parent
        source: card.thumbnailURL
        failureSymbolSize: card.compact ? 14 : 22
    }

    // The view count at the bottom-leading corner.
    Rectangle {
        visible: !card.compact
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 56
        gradient: Gradient {
            GradientStop { position: 0; color: "transparent" }
            GradientStop { position: 1; color: Qt.rgba(0, 0, 0, 0.55) }
        }
    }
    Rectangle {
        id: viewBadge
        readonly property real inset: card.compact ? card.badgeSpace : 0
        readonly property real padding: card.compact ? card.badgeSpace : 10
        // The width the symbol and the count may take.
        readonly property real room: card.width - inset - (card.compact ? 2 : 0) - 2 * padding
        anchors.left: parent.left
        anchors.bottom: parent.bottom
        anchors.margins: inset
        width: viewRow.width + 2 * padding
        height: viewRow.implicitHeight + (card.compact ? 4 : 20)
        radius: height / 2
        color: card.compact ? Qt.rgba(0, 0, 0, 0.55) : "transparent"

        Row {
            id: viewRow
            anchors.centerIn: parent
            spacing: card.compact ? 2 : 4
            Icon {
                id: playSymbol
                anchors.verticalCenter: parent.verticalCenter
                // Only beside a count that keeps its size.
                visible: width + viewRow.spacing + viewCountText.implicitWidth <= viewBadge.room
                symbol: "play.fill"
                size: card.compact ? 8 : 10
                color: "white"
            }
            Text {
                id: viewCountText
                objectName: "viewCountText"
                anchors.verticalCenter: parent.verticalCenter
                width: Math.min(implicitWidth, viewBadge.room
                                - (playSymbol.visible ? playSymbol.width + viewRow.spacing : 0))
                text: ProfilePresentation.count(card.viewCount)
                color: "white"
                font.pixelSize: card.compact ? 9 : 11
                font.weight: Font.DemiBold
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: 6
                elide: Text.ElideRight
                verticalAlignment: Text.AlignVCenter
            }
        }
    }

    // The duration at the top-leading corner.
    Rectangle {
        readonly property real padding: card.compact ? card.badgeSpace : 7
        x: card.compact ? card.badgeSpace : 8
        y: x
        width: durationText.width + 2 * padding
        height: durationText.implicitHeight + (card.compact ? 4 : 6)
        radius: height / 2
        color: Qt.rgba(0, 0, 0, 0.55)
        Text {
            id: durationText
            objectName: "durationText"
            anchors.centerIn: parent
            width: Math.min(implicitWidth, card.width - parent.x - 2 - 2 * parent.padding)
            text: ProfilePresentation.duration(card.durationSeconds)
            color: "white"
            font.pixelSize: card.compact ? 9 : 10
            font.weight: Font.Bold
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 6
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
        }
    }

    // Where the reel's download stands.
    Rectangle {
        objectName: "downloadingOverlay"
        anchors.fill: parent
        visible: card.downloadKind === "downloading"
        color: Qt.rgba(0, 0, 0, 0.25)
        Rectangle {
            anchors.bottom: parent.bottom
            anchors.horizontalCenter: parent.horizontalCenter
            width: parent.width * ProfilePresentation.downloadProgress(card.downloadState)
            height: 3
            gradient: Gradient {
                orientation: Gradient.Horizontal
                GradientStop { position: 0; color: Theme.brandStops[0] }
                GradientStop { position: 0.5; color: Theme.brandStops[1] }
                GradientStop { position: 1; color: Theme.brandStops[2] }
            }
        }
    }
    Rectangle {
        objectName: "savedOverlay"
        anchors.fill: parent
        visible: card.downloadKind === "completed"
        color: Qt.rgba(0, 0, 0, 0.35)
        Column {
            anchors.centerIn: parent
            spacing: 4
            Icon {
                anchors.horizontalCenter: parent.horizontalCenter
                symbol: "checkmark.circle.fill"
                size: card.compact ? 18 : 30
                color: "white"
            }
            Text {
                id: savedText
                objectName: "savedText"
                anchors.horizontalCenter: parent.horizontalCenter
                visible: !card.compact
                text: qsTr("Saved")
                color: "white"
                font.pixelSize: 11
                font.weight: Font.DemiBold
            }
        }
    }

    // Selected or not, at the top-trailing corner while selecting.
    Item {
        id: indicator
        objectName: "selectionIndicator"
        readonly property real diameter: card.compact ? 18 : 26
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: card.compact ? 5 : 10
        width: diameter
        height: diameter
        visible: opacity > 0.01
        opacity: card.isSelectionMode ? 1 : 0
        scale: card.isSelectionMode ? 1 : 0.5
        Behavior on opacity { Spring { response: 0.32; dampingFraction: 0.75 } }
        Behavior on scale { Spring { response: 0.32; dampingFraction: 0.75 } }

        BrandFill {
            anchors.fill: parent
            radius: width / 2
            visible: card.selected
        }
        Rectangle {
            anchors.fill: parent
            radius: width / 2
            color: card.selected ? "transparent" : Qt.rgba(0, 0, 0, 0.45)
            border.color: "white"
            border.width: card.compact ? 1.5 : 2
        }
        Icon {
            anchors.centerIn: parent
            visible: card.selected
            symbol: "checkmark"
            size: card.compact ? 9 : 13
            font.bold: true
            color: "white"
        }
    }

    CornerMask {
        cornerRadius: card.cornerRadius
    }
    Rectangle {
        objectName: "outline"
        anchors.fill: parent
        radius: card.cornerRadius
        color: "transparent"
        border.color: card.selected ? Theme.accent : Theme.stroke
        border.width: card.selected ? 2.5 : 1
    }
    // Inside the card, which clips what lies beyond it.
    FocusRing { targetRadius: card.cornerRadius; gap: -3 }

    MouseArea {
        anchors.fill: parent
        pressAndHoldInterval: 250
        onClicked: card.tapped()
        onPressAndHold: card.longPressed()
    }
}
