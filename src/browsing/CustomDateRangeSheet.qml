import QtQuick
import QtQuick.Layouts
import ClipDock

// "Custom date range": the first and the last day of the range, written to the view model as
// they are picked. "Apply" waits until the first day is not after the last.
Rectangle {
    id: sheet

    required property ReelsViewModel viewModel
    readonly property bool valid: ProfilePresentation.rangeIsValid(viewModel.customRangeStart,
                                                                   viewModel.customRangeEnd)
    signal apply()
    signal cancel()

    color: Theme.background

    ColumnLayout {
        anchors.fill: parent
        anchors.topMargin: 18
        anchors.bottomMargin: 18
        spacing: 18

        ColumnLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            spacing: 4
            Text {
                text: qsTr("Custom date range")
                color: Theme.textPrimary
                font.pixelSize: 20
                font.weight: Font.Bold
            }
            Text {
                text: qsTr("Only reels posted in this range will show.")
                color: Theme.textSecondary
                font.pixelSize: 12
                font.weight: Font.Medium
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            spacing: 12

            DayPicker {
                objectName: "fromPicker"
                Layout.fillWidth: true
                title: qsTr("From")
                date: sheet.viewModel.customRangeStart
                onPicked: (year, month, day) => sheet.viewModel.customRangeStart =
                          ProfilePresentation.withDay(sheet.viewModel.customRangeStart, year, month, day)
            }
            DayPicker {
                objectName: "toPicker"
                Layout.fillWidth: true
                title: qsTr("To")
                date: sheet.viewModel.customRangeEnd
                onPicked: (year, month, day) => sheet.viewModel.customRangeEnd =
                          ProfilePresentation.withDay(sheet.viewModel.customRangeEnd, year, month, day)
            }
        }

        Row {
            objectName: "rangeWarning"
            Layout.alignment: Qt.AlignHCenter
            visible: !sheet.valid
            spacing: 6
            Icon {
                anchors.verticalCenter: parent.verticalCenter
                symbol: "exclamationmark.triangle.fill"
                size: 13
                color: Theme.withAlpha(Theme.red, 0.85)
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Start date must be before end date.")
                color: Theme.withAlpha(Theme.red, 0.85)
                font.pixelSize: 12
                font.weight: Font.Medium
            }
        }

        Item { Layout.fillHeight: true }

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            spacing: 12

            SheetButton {
                objectName: "rangeCancelButton"
                text: qsTr("Cancel")
                onClicked: sheet.cancel()
            }
            SheetButton {
                objectName: "applyButton"
                primary: true
                text: qsTr("Apply")
                enabled: sheet.valid
                onClicked: sheet.apply()
            }
        }
    }
}
