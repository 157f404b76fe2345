import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import ClipDock

// A compact picker for a day: a title, the day as text, and a month calendar that opens from
// it. Picking a day reports it; the owner stores it.
GlassCard {
    id: picker

    property string title
    // The date shown (a JS Date from the view model).
    property var date
    // `month` is 1-based.
    signal picked(int year, int month, int day)

    cornerRadius: 14
    implicitHeight: 36 + 28

    RowLayout {
        anchors.fill: parent
        anchors.margins: 14
        spacing: 8

        Text {
            Layout.preferredWidth: 50
            text: picker.title
            color: Theme.textSecondary
            font.pixelSize: 13
            font.weight: Font.DemiBold
        }
        Item { Layout.fillWidth: true }
        PressableButton {
            id: field
            objectName: "dayField"
            text: ProfilePresentation.dayText(picker.date)
            Accessible.role: Accessible.ButtonMenu
            Accessible.description: picker.title
            implicitHeight: 32
            leftPadding: 12
            rightPadding: 12
            background: Rectangle {
                radius: 8
                color: Theme.surfaceElevated
            }
            contentItem: Text {
                objectName: "dayText"
                text: field.text
                color: Theme.textPrimary
                font.pixelSize: 13
                font.weight: Font.DemiBold
                verticalAlignment: Text.AlignVCenter
            }
            onClicked: {
                calendar.shownYear = picker.date.getFullYear()
                calendar.shownMonth = picker.date.getMonth()
                calendar.open()
            }

            Popup {
                id: calendar
                objectName: "calendarPopup"
                property int shownYear: 2000
                property int shownMonth: 0 // 0-based, as the calendar counts

                function step(months) {
                    const total = shownYear * 12 + shownMonth + months
                    shownYear = Math.floor(total / 12)
                    shownMonth = total - shownYear * 12
                }

                x: field.width - width
                y: field.height + 4
                // The keyboard goes into the calendar while it is open.
                focus: true
                // Pushed back inside the window where it would run past an edge.
                margins: 6
                padding: 10
                background: Rectangle {
                    radius: 12
                    color: Theme.surfaceElevated
                    border.color: Theme.stroke
                }

                ColumnLayout {
                    spacing: 6
                    RowLayout {
                        Layout.fillWidth: true
                        PressableButton {
                            Accessible.name: qsTr("Previous month")
                            implicitWidth: 28
                            implicitHeight: 28
                            contentItem: Icon { symbol: "chevron.left"; size: 18 }
                            onClicked: calendar.step(-1)
                        }
                        Text {
                            Layout.fillWidth: true
                            horizontalAlignment: Text.AlignHCenter
                            text: Qt.locale().standaloneMonthName(calendar.shownMonth) + " " + calendar.shownYear
                            color: Theme.textPrimary
                            font.pixelSize: 13
                            font.weight: Font.DemiBold
                        }
                        PressableButton {
                            Accessible.name: qsTr("Next month")
                            implicitWidth: 28
                            implicitHeight: 28
                            contentItem: Icon { symbol: "chevron.right"; size: 18 }
                            onClicked: calendar.step(1)
                        }
                    }
                    DayOfWeekRow {
                        Layout.fillWidth: true
                        delegate: Text {
                            required property string shortName
                            text: shortName
                            color: Theme.textTertiary
                            font.pixelSize: 10
                            horizontalAlignment: Text.AlignHCenter
                        }
                    }
                    MonthGrid {
                        id: grid
                        Layout.preferredWidth: 7 * 30
                        month: calendar.shownMonth
                        year: calendar.shownYear
                        delegate: Rectangle {
                            id: dayCell
                            required property var model
                            readonly property bool chosen: model.year === picker.date.getFullYear()
                                                           && model.month === picker.date.getMonth()
                                                           && model.day === picker.date.getDate()

                            function pick() {
                                picker.picked(model.year, model.month + 1, model.day)
                                calendar.close()
                            }

                            implicitWidth: 28
                            implicitHeight: 26
                            radius: 6
                            color: chosen ? Theme.accent : "transparent"
                            activeFocusOnTab: true
                            Keys.onSpacePressed: pick()
                            Keys.onReturnPressed: pick()
                            Keys.onEnterPressed: pick()
                            Accessible.role: Accessible.Button
                            Accessible.name: ProfilePresentation.dayText(model.date)
                            Accessible.checkable: true
                            Accessible.checked: chosen
                            FocusRing { targetRadius: dayCell.radius; gap: 1 }
                            Text {
                                anchors.centerIn: parent
                                text: model.day
                                color: model.month === calendar.shownMonth ? Theme.textPrimary
                                                                           : Theme.textTertiary
                                font.pixelSize: 12
                            }
                            MouseArea {
                                anchors.fill: parent
                                onClicked: dayCell.pick()
                            }
                        }
                    }
                }
            }
        }
    }
}
