import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import ClipDock

// The first screen: takes a profile link or handle, starts the fetch, shows that it runs or why it
// failed, and connects or signs out of each platform.
FocusScope {
    id: screen

    required property ReelsViewModel viewModel

    readonly property bool loading: viewModel.phase === ReelsViewModel.Loading
    readonly property bool hasText: viewModel.inputText.length > 0

    function focusField() {
        linkField.forceActiveFocus()
    }

    Component.onCompleted: focusField()

    SearchBackground {
        anchors.fill: parent
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            Layout.topMargin: 18
            spacing: 8

            AuthPill {
                objectName: "instagramPill"
                label: "Instagram"
                auth: screen.viewModel.instagramAuth
                onConnectRequested: screen.viewModel.openLogin("instagram")
            }
            AuthPill {
                objectName: "facebookPill"
                label: "Facebook"
                auth: screen.viewModel.facebookAuth
                onConnectRequested: screen.viewModel.openLogin("facebook")
            }
            Item {
                Layout.fillWidth: true
            }
        }

        // The three flexible gaps share the free height evenly: a layout hands out space in
        // proportion to preferred sizes, so all three ask for the same.
        Item {
            Layout.fillHeight: true
            Layout.minimumHeight: 22
            Layout.preferredHeight: 1000
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 24
            Layout.rightMargin: 24
            spacing: 18

            BrandFill {
                Layout.alignment: Qt.AlignHCenter
                implicitWidth: 84
                implicitHeight: 84
                radius: 28
                shadowColor: Theme.withAlpha(Theme.accent, 0.4)
                shadowRadius: 24
                shadowY: 12

                Icon {
                    anchors.centerIn: parent
                    symbol: "play.rectangle.on.rectangle.fill"
                    size: 38
                    color: "white"
                }
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 8

                Text {
                    Layout.alignment: Qt.AlignHCenter
                    text: "Clip Dock"
                    color: Theme.textPrimary
                    font.pixelSize: 34
                    font.weight: Font.Bold
                }
                Text {
                    Layout.fillWidth: true
                    Layout.leftMargin: 24
                    Layout.rightMargin: 24
                    text: qsTr("Paste an Instagram or Facebook profile link to browse and download videos in one tap.")
                    color: Theme.textSecondary
                    font.pixelSize: 15
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.WordWrap
                }
            }
        }

        Item {
            Layout.fillHeight: true
            Layout.minimumHeight: 28
            Layout.preferredHeight: 1000
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            spacing: 14

            GlassCard {
                Layout.fillWidth: true
                implicitHeight: fieldRow.implicitHeight + 28
                cornerRadius: 18
                border.color: linkField.activeFocus ? Theme.withAlpha(Theme.accent, 0.6) : Theme.stroke

                RowLayout {
                    id: fieldRow
                    anchors.fill: parent
                    anchors.leftMargin: 16
                    anchors.rightMargin: 16
                    anchors.topMargin: 14
                    anchors.bottomMargin: 14
                    spacing: 12

                    Icon {
                        symbol: "link"
                        size: 16
                        color: Theme.textSecondary
                    }

                    TextField {
                        id: linkField
                        objectName: "linkField"
                        Layout.fillWidth: true
                        padding: 0
                        background: null
                        text: screen.viewModel.inputText
                        color: Theme.textPrimary
                        selectionColor: Theme.withAlpha(Theme.accent, 0.5)
                        selectedTextColor: "white"
                        placeholderText: qsTr("instagram.com/user or facebook.com/user")
                        placeholderTextColor: Theme.textTertiary
                        font.pixelSize: 16
                        font.weight: Font.Medium
                        inputMethodHints: Qt.ImhNoPredictiveText | Qt.ImhNoAutoUppercase
                        Accessible.role: Accessible.EditableText
                        Accessible.name: qsTr("Profile link or handle")
                        Accessible.description: placeholderText
                        onTextEdited: screen.viewModel.inputText = text
                        // Return and Enter alike.
                        onAccepted: screen.viewModel.search()
                    }

                    // Paste while the field is empty, clear once it holds text.
                    Item {
                        implicitWidth: screen.hasText ? clearButton.implicitWidth
                                                      : pasteButton.implicitWidth
                        implicitHeight: Math.max(clearButton.implicitHeight,
                                                 pasteButton.implicitHeight)

                        AbstractButton {
                            id: pasteButton
                            objectName: "pasteButton"
                            anchors.centerIn: parent
                            focusPolicy: Qt.TabFocus
                            text: qsTr("Paste")
                            Accessible.role: Accessible.Button
                            Accessible.name: text
                            Keys.onReturnPressed: clicked()
                            Keys.onEnterPressed: clicked()
                            leftPadding: 12
                            rightPadding: 12
                            topPadding: 6
                            bottomPadding: 6
                            enabled: !screen.hasText
                            visible: opacity > 0.01
                            opacity: screen.hasText ? 0 : (down ? 0.7 : 1)
                            scale: screen.hasText ? 0.5 : 1
                            Behavior on opacity { Spring { response: 0.3; dampingFraction: 0.8 } }
                            Behavior on scale { Spring { response: 0.3; dampingFraction: 0.8 } }

                            background: Rectangle {
                                radius: height / 2
                                color: Qt.rgba(1, 1, 1, 0.12)
                            }
                            contentItem: Text {
                                text: pasteButton.text
                                color: "white"
                                font.pixelSize: 13
                                font.weight: Font.DemiBold
                            }
                            FocusRing { targetRadius: pasteButton.height / 2 }
                            // The field goes on with the pasted text, and keeps the keyboard.
                            onClicked: {
                                const pasted = UiCatalog.clipboardText()
                                if (pasted.length > 0) {
                                    screen.viewModel.inputText = pasted
                                    linkField.forceActiveFocus()
                                }
                            }
                        }

                        AbstractButton {
                            id: clearButton
                            objectName: "clearButton"
                            anchors.centerIn: parent
                            focusPolicy: Qt.TabFocus
                            Accessible.role: Accessible.Button
                            Accessible.name: qsTr("Clear")
                            Keys.onReturnPressed: clicked()
                            Keys.onEnterPressed: clicked()
                            enabled: screen.hasText
                            visible: opacity > 0.01
                            opacity: screen.hasText ? (down ? 0.7 : 1) : 0
                            scale: screen.hasText ? 1 : 0.5
                            Behavior on opacity { Spring { response: 0.3; dampingFraction: 0.8 } }
                            Behavior on scale { Spring { response: 0.3; dampingFraction: 0.8 } }

                            contentItem: Icon {
                                symbol: "xmark.circle.fill"
                                size: 18
                                color: Theme.textTertiary
                            }
                            FocusRing { targetRadius: clearButton.height / 2 }
                            onClicked: {
                                screen.viewModel.inputText = ""
                                linkField.forceActiveFocus()
                            }
                        }
                    }
                }
            }

            PressableButton {
                id: mainButton
                objectName: "mainButton"
                Layout.fillWidth: true
                Layout.preferredHeight: 54
                enabled: screen.hasText && !screen.loading
                restingOpacity: screen.hasText ? 1 : 0.5
                // The source's step, when it tells one ("Reading the reels page…").
                text: !screen.loading ? qsTr("Find Reels")
                      : screen.viewModel.loadingStep.length > 0 ? screen.viewModel.loadingStep
                      : qsTr("Fetching reels…")

                background: BrandFill {
                    radius: 18
                    shadowColor: Theme.withAlpha(Theme.accent, 0.35)
                    shadowRadius: 20
                    shadowY: 10
                }
                contentItem: Item {
                    Row {
                        anchors.centerIn: parent
                        spacing: 8

                        Spinner {
                            anchors.verticalCenter: parent.verticalCenter
                            visible: screen.loading
                            size: 16
                        }
                        Icon {
                            anchors.verticalCenter: parent.verticalCenter
                            visible: !screen.loading
                            symbol: "sparkles"
                            size: 15
                            color: "white"
                        }
                        Text {
                            objectName: "mainButtonLabel"
                            anchors.verticalCenter: parent.verticalCenter
                            text: mainButton.text
                            color: "white"
                            font.pixelSize: 16
                            font.weight: Font.DemiBold
                        }
                    }
                }
                onClicked: {
                    linkField.focus = false
                    screen.viewModel.search()
                }
            }

            ErrorNote {
                objectName: "errorNote"
                Layout.fillWidth: true
                viewModel: screen.viewModel
            }
        }

        Item {
            Layout.fillHeight: true
            Layout.preferredHeight: 1000
        }

        Row {
            Layout.alignment: Qt.AlignHCenter
            Layout.bottomMargin: 24
            spacing: 6

            Icon {
                anchors.verticalCenter: parent.verticalCenter
                symbol: "lock.shield.fill"
                size: 11
                color: Theme.textTertiary
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Only download content you have rights to.")
                color: Theme.textTertiary
                font.pixelSize: 12
                font.weight: Font.Medium
            }
        }
    }
}
