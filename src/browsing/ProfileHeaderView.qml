import QtQuick
import QtQuick.Layouts
import ClipDock

// The account at the top of the profile: picture in the brand ring, names, and the counts. A
// demo profile is marked beside its name and offers the sign-in that shows the real one.
ColumnLayout {
    id: header

    // An InstagramProfile.
    required property var profile
    signal signInRequested()

    spacing: 14

    RowLayout {
        Layout.fillWidth: true
        spacing: 16

        Item {
            id: avatar
            objectName: "avatar"
            implicitWidth: 68
            implicitHeight: 68
            // The names beside it say whose it is.
            Accessible.ignored: true

            Rectangle {
                anchors.centerIn: parent
                width: 60
                height: 60
                radius: 30
                color: Theme.surfaceElevated
            }
            Image {
                objectName: "avatarImage"
                anchors.centerIn: parent
                width: 60
                height: 60
                source: header.profile.avatarURL
                asynchronous: true
                cache: true
                fillMode: Image.PreserveAspectCrop
                sourceSize.width: Math.ceil(60 * Screen.devicePixelRatio)
                sourceSize.height: Math.ceil(60 * Screen.devicePixelRatio)
                visible: status === Image.Ready
            }
            // Over the picture: the window colour beyond the ring, the brand ring, and the thin
            // line in the window colour that parts the picture from the ring. What lies outside
            // the picture's circle is painted over, which rounds it.
            Canvas {
                anchors.fill: parent
                onPaint: {
                    const ctx = getContext("2d")
                    ctx.reset()
                    const c = width / 2
                    ctx.fillRule = Qt.OddEvenFill
                    ctx.fillStyle = Theme.background
                    ctx.beginPath()
                    ctx.rect(0, 0, width, height)
                    ctx.ellipse(0, 0, width, height)
                    ctx.fill()

                    const gradient = ctx.createLinearGradient(0, 0, width, height)
                    const stops = Theme.brandStops
                    for (let i = 0; i < stops.length; ++i)
                        gradient.addColorStop(i / (stops.length - 1), stops[i])
                    ctx.fillStyle = gradient
                    ctx.beginPath()
                    ctx.ellipse(0, 0, width, height)
                    ctx.ellipse(c - 30, c - 30, 60, 60)
                    ctx.fill()

                    ctx.strokeStyle = Theme.background
                    ctx.lineWidth = 2
                    ctx.beginPath()
                    ctx.arc(c, c, 30, 0, 2 * Math.PI)
                    ctx.stroke()
                }
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 2

            Row {
                Layout.fillWidth: true
                spacing: 6
                Text {
                    objectName: "displayNameText"
                    anchors.verticalCenter: parent.verticalCenter
                    width: Math.min(implicitWidth, parent.width - (verified.visible ? 20 : 0)
                                                       - (demoBadge.visible ? demoBadge.width + 6 : 0))
                    text: header.profile.displayName
                    color: Theme.textPrimary
                    font.pixelSize: 18
                    font.weight: Font.Bold
                    elide: Text.ElideRight
                }
                Icon {
                    id: verified
                    objectName: "verifiedMark"
                    anchors.verticalCenter: parent.verticalCenter
                    visible: header.profile.isVerified
                    symbol: "checkmark.seal.fill"
                    size: 14
                    color: Theme.accent
                }
                Rectangle {
                    id: demoBadge
                    objectName: "demoBadge"
                    anchors.verticalCenter: parent.verticalCenter
                    visible: header.profile.isDemo
                    width: demoLabel.implicitWidth + 14
                    height: 18
                    radius: 9
                    color: Theme.withAlpha(Theme.accent, 0.16)
                    border.color: Theme.withAlpha(Theme.accent, 0.45)
                    border.width: 1
                    Text {
                        id: demoLabel
                        anchors.centerIn: parent
                        text: qsTr("Demo")
                        color: Theme.accent
                        font.pixelSize: 11
                        font.weight: Font.Bold
                    }
                }
            }
            Text {
                objectName: "handleText"
                Layout.fillWidth: true
                text: "@" + header.profile.username
                color: Theme.textSecondary
                font.pixelSize: 14
                font.weight: Font.Medium
                elide: Text.ElideRight
            }
        }
    }

    GlassCard {
        Layout.fillWidth: true
        implicitHeight: stats.implicitHeight + 28
        cornerRadius: 18

        RowLayout {
            id: stats
            anchors.fill: parent
            anchors.topMargin: 14
            anchors.bottomMargin: 14
            spacing: 0

            // Three equal shares with a hairline between them; built once, so a new profile
            // only changes the texts.
            ProfileStat {
                title: qsTr("Followers")
                value: ProfilePresentation.count(header.profile.followerCount)
            }
            Rectangle {
                Layout.preferredWidth: 1
                Layout.preferredHeight: 28
                color: Theme.stroke
            }
            ProfileStat {
                title: qsTr("Reels")
                value: String(header.profile.reelCount)
            }
            Rectangle {
                Layout.preferredWidth: 1
                Layout.preferredHeight: 28
                color: Theme.stroke
            }
            ProfileStat {
                title: qsTr("Verified")
                value: header.profile.isVerified ? qsTr("Yes") : qsTr("No")
            }
        }
    }

    Rectangle {
        objectName: "demoNote"
        Layout.fillWidth: true
        visible: header.profile.isDemo
        implicitHeight: noteRow.implicitHeight + 24
        radius: 14
        color: Theme.withAlpha(Theme.accent, 0.08)
        border.color: Theme.withAlpha(Theme.accent, 0.25)
        border.width: 1

        RowLayout {
            id: noteRow
            anchors.fill: parent
            anchors.leftMargin: 14
            anchors.rightMargin: 10
            anchors.topMargin: 12
            anchors.bottomMargin: 12
            spacing: 10

            Icon {
                symbol: "info.circle.fill"
                size: 14
                color: Theme.accent
            }
            Text {
                objectName: "demoNoteText"
                Layout.fillWidth: true
                text: qsTr("Demo profile: sign in to %1 to see the real one.")
                      .arg(header.profile.platformDisplayName)
                color: Theme.textSecondary
                font.pixelSize: 12
                font.weight: Font.Medium
                wrapMode: Text.Wrap
            }
            PressableButton {
                id: signInButton
                objectName: "demoSignInButton"
                text: qsTr("Sign in")
                implicitWidth: signInLabel.implicitWidth + 24
                implicitHeight: 30
                background: BrandFill {
                    radius: 10
                }
                contentItem: Text {
                    id: signInLabel
                    text: signInButton.text
                    color: "white"
                    font.pixelSize: 13
                    font.weight: Font.DemiBold
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                onClicked: header.signInRequested()
            }
        }
    }
}
