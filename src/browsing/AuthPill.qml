import QtQuick
import QtQuick.Controls.Basic
import ClipDock

// One platform's sign-in state on the search screen: a "Connect" pill while signed out, a green
// pill with a sign-out menu while signed in.
Item {
    id: pill

    required property PlatformAuth auth
    required property string label
    signal connectRequested()

    implicitWidth: auth.isSignedIn ? signedIn.implicitWidth : connect.implicitWidth
    implicitHeight: auth.isSignedIn ? signedIn.implicitHeight : connect.implicitHeight

    AbstractButton {
        id: signedIn
        objectName: "signedInPill"
        visible: pill.auth.isSignedIn
        focusPolicy: Qt.TabFocus
        Accessible.role: Accessible.ButtonMenu
        Accessible.name: qsTr("Signed in to %1").arg(pill.label)
        Keys.onReturnPressed: clicked()
        Keys.onEnterPressed: clicked()
        leftPadding: 11
        rightPadding: 11
        topPadding: 7
        bottomPadding: 7
        opacity: down ? 0.7 : 1

        background: Rectangle {
            radius: height / 2
            color: Theme.withAlpha(Theme.green, 0.14)
            border.color: Theme.withAlpha(Theme.green, 0.35)
            border.width: 1
        }
        contentItem: Row {
            spacing: 6
            Icon {
                anchors.verticalCenter: parent.verticalCenter
                symbol: "checkmark.seal.fill"
                size: 12
                color: Theme.green
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: pill.label
                color: Theme.textPrimary
                font.pixelSize: 12
                font.weight: Font.DemiBold
            }
            Icon {
                anchors.verticalCenter: parent.verticalCenter
                symbol: "chevron.down"
                size: 8
                color: Theme.textTertiary
            }
        }
        onClicked: menu.popup(signedIn, 0, signedIn.height + 4)

        FocusRing { targetRadius: signedIn.height / 2 }

        Menu {
            id: menu
            objectName: "signOutMenu"
            padding: 4
            background: Rectangle {
                implicitWidth: 180
                radius: 8
                color: Theme.surfaceElevated
                border.color: Theme.stroke
            }

            MenuItem {
                id: signOutItem
                objectName: "signOutItem"
                text: qsTr("Sign out of %1").arg(pill.label)
                Accessible.role: Accessible.MenuItem
                Accessible.name: text
                onTriggered: pill.auth.signOut()
                background: Rectangle {
                    radius: 6
                    color: signOutItem.highlighted ? Theme.withAlpha(Theme.accent, 0.25) : "transparent"
                }
                contentItem: Text {
                    text: signOutItem.text
                    color: Theme.textPrimary
                    font.pixelSize: 13
                }
            }
        }
    }

    PressableButton {
        id: connect
        objectName: "connectPill"
        visible: !pill.auth.isSignedIn
        text: qsTr("Connect %1").arg(pill.label)
        leftPadding: 11
        rightPadding: 11
        topPadding: 7
        bottomPadding: 7

        background: BrandFill { radius: height / 2 }
        contentItem: Row {
            spacing: 6
            Icon {
                anchors.verticalCenter: parent.verticalCenter
                symbol: "person.fill.badge.plus"
                size: 11
                color: "white"
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: connect.text
                color: "white"
                font.pixelSize: 12
                font.weight: Font.DemiBold
            }
        }
        onClicked: pill.connectRequested()
    }
}
