import QtQuick
import QtQuick.Layouts
import QtMultimedia
import ClipDock

// Previews one reel: its video plays at once in a portrait frame and starts over at each end,
// framed by a close button, the view, like and duration figures and a download button. It plays
// only while `active` holds; the moment that ends, the sound stops and the media is let go. Media
// that cannot be loaded or decoded leaves the still in the frame with a note saying so.
Rectangle {
    id: player

    required property var reel // Reel
    property bool active: false
    // The media failed to load or decode; cleared when playback starts over.
    property bool unplayable: false
    signal close()
    signal download()

    color: "black"

    function start() {
        mediaPlayer.stop()
        unplayable = false
        mediaPlayer.source = player.reel ? player.reel.defaultVideoURL : ""
        mediaPlayer.play()
    }

    function finish() {
        mediaPlayer.stop()
        mediaPlayer.source = ""
        unplayable = false
    }

    onActiveChanged: active ? start() : finish()
    // Another reel chosen while the sheet stays open starts over with that one.
    onReelChanged: if (active) start()
    Component.onCompleted: if (active) start()
    Component.onDestruction: mediaPlayer.stop()

    MediaPlayer {
        id: mediaPlayer
        objectName: "mediaPlayer"
        loops: MediaPlayer.Infinite
        videoOutput: videoOutput
        audioOutput: AudioOutput { }
        onErrorOccurred: if (source.toString() !== "") player.unplayable = true
        onMediaStatusChanged: if (mediaStatus === MediaPlayer.InvalidMedia) player.unplayable = true
    }

    // The 9 : 16 frame, as large as the sheet allows, centred.
    Item {
        id: frame
        readonly property real aspect: 9 / 16
        anchors.centerIn: parent
        width: Math.min(parent.width, parent.height * aspect)
        height: width / aspect

        // Until the media shows what it holds; then the picture, or black for audio alone.
        readonly property bool waiting: !mediaPlayer.hasVideo && !mediaPlayer.hasAudio
                                        && !player.unplayable

        // The still stands in while the media loads, and for media that cannot play.
        Image {
            objectName: "stillImage"
            anchors.fill: parent
            source: player.reel ? player.reel.thumbnailURL : ""
            fillMode: Image.PreserveAspectCrop
            asynchronous: true
            visible: (frame.waiting || player.unplayable) && status === Image.Ready
        }
        VideoOutput {
            id: videoOutput
            objectName: "videoOutput"
            anchors.fill: parent
            fillMode: VideoOutput.PreserveAspectFit
            visible: !player.unplayable
        }
        Spinner {
            anchors.centerIn: parent
            visible: frame.waiting
            size: 28
            color: "white"
        }
        Rectangle {
            objectName: "unplayableNote"
            anchors.centerIn: parent
            visible: player.unplayable
            width: Math.min(noteRow.implicitWidth + 28, parent.width - 40)
            height: noteRow.implicitHeight + 20
            radius: height / 2
            color: Qt.rgba(0, 0, 0, 0.6)

            RowLayout {
                id: noteRow
                anchors.fill: parent
                anchors.leftMargin: 14
                anchors.rightMargin: 14
                spacing: 8
                Icon {
                    symbol: "exclamationmark.triangle.fill"
                    size: 13
                    color: "white"
                }
                Text {
                    objectName: "unplayableText"
                    Layout.fillWidth: true
                    text: qsTr("This reel can't be played here.")
                    color: "white"
                    font.pixelSize: 13
                    font.weight: Font.DemiBold
                    elide: Text.ElideRight
                }
            }
        }

        // A tap pauses and resumes; a paused preview shows a play mark.
        TapHandler {
            enabled: mediaPlayer.source.toString() !== "" && !player.unplayable
            onTapped: mediaPlayer.playbackState === MediaPlayer.PlayingState ? mediaPlayer.pause()
                                                                             : mediaPlayer.play()
        }
        Rectangle {
            anchors.centerIn: parent
            visible: mediaPlayer.playbackState === MediaPlayer.PausedState
            width: 64
            height: 64
            radius: 32
            color: Qt.rgba(0, 0, 0, 0.45)
            Icon {
                anchors.centerIn: parent
                symbol: "play.fill"
                size: 30
                color: "white"
            }
        }
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 20
        spacing: 0

        RowLayout {
            Layout.fillWidth: true

            PressableButton {
                objectName: "closeButton"
                text: qsTr("Close")
                implicitWidth: 36
                implicitHeight: 36
                background: Rectangle {
                    radius: width / 2
                    color: Qt.rgba(0, 0, 0, 0.45)
                }
                contentItem: Icon {
                    symbol: "xmark"
                    size: 14
                    font.weight: Font.Bold
                    color: "white"
                }
                onClicked: player.close()
            }
            Item {
                Layout.fillWidth: true
            }
            Rectangle {
                implicitWidth: viewsStat.implicitWidth + 20
                implicitHeight: viewsStat.implicitHeight + 12
                radius: height / 2
                color: Qt.rgba(0, 0, 0, 0.45)

                Stat {
                    id: viewsStat
                    objectName: "viewsStat"
                    anchors.centerIn: parent
                    spacing: 6
                    symbol: "eye.fill"
                    text: ProfilePresentation.count(player.reel.viewCount)
                }
            }
        }

        Item {
            Layout.fillHeight: true
        }

        RowLayout {
            Layout.fillWidth: true

            Rectangle {
                implicitWidth: stats.implicitWidth + 28
                implicitHeight: stats.implicitHeight + 20
                radius: height / 2
                color: Qt.rgba(0, 0, 0, 0.45)

                Row {
                    id: stats
                    anchors.centerIn: parent
                    spacing: 14
                    Stat {
                        objectName: "likesStat"
                        symbol: "heart.fill"
                        text: ProfilePresentation.count(player.reel.likeCount)
                    }
                    Stat {
                        objectName: "durationStat"
                        symbol: "clock.fill"
                        text: ProfilePresentation.duration(player.reel.durationSeconds)
                    }
                }
            }
            Item {
                Layout.fillWidth: true
            }
            PressableButton {
                id: downloadButton
                objectName: "downloadButton"
                text: qsTr("Download")
                implicitWidth: downloadLabel.implicitWidth + 32
                implicitHeight: downloadLabel.implicitHeight + 24
                background: BrandFill {
                    radius: height / 2
                    shadowColor: Theme.withAlpha(Theme.accent, 0.4)
                    shadowRadius: 14
                    shadowY: 6
                }
                contentItem: Item {
                    Row {
                        id: downloadLabel
                        anchors.centerIn: parent
                        spacing: 8

                        Icon {
                            anchors.verticalCenter: parent.verticalCenter
                            symbol: "arrow.down.circle.fill"
                            size: 15
                            font.weight: Font.DemiBold
                            color: "white"
                        }
                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            text: downloadButton.text
                            color: "white"
                            font.pixelSize: 14
                            font.weight: Font.DemiBold
                        }
                    }
                }
                onClicked: player.download()
            }
        }
    }

    // A figure with its symbol, in white.
    component Stat: Row {
        property string symbol
        property alias text: label.text

        spacing: 5

        Icon {
            anchors.verticalCenter: parent.verticalCenter
            symbol: parent.symbol
            size: 11
            color: "white"
        }
        Text {
            id: label
            anchors.verticalCenter: parent.verticalCenter
            color: "white"
            font.pixelSize: 12
            font.weight: Font.DemiBold
        }
    }
}
