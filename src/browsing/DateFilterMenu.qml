import QtQuick
import QtQuick.Controls.Basic
import ClipDock

// The date presets in order, each with a checkmark when it is the current filter, then "Custom
// range…". The owner applies what is chosen.
ChoiceMenu {
    id: menu

    // The current DateRangeFilter.
    property var filter
    signal presetChosen(var preset)
    signal customChosen()

    Instantiator {
        model: ProfilePresentation.datePresetEntries()
        delegate: ChoiceMenuItem {
            required property var modelData
            text: modelData.label
            current: modelData.key === ProfilePresentation.filterKey(menu.filter)
            onTriggered: menu.presetChosen(modelData.filter)
        }
        onObjectAdded: (index, object) => menu.insertItem(index, object)
        onObjectRemoved: (index, object) => menu.removeItem(object)
    }
    MenuSeparator {
        contentItem: Rectangle {
            implicitHeight: 1
            color: Theme.stroke
        }
    }
    ChoiceMenuItem {
        objectName: "customRangeItem"
        text: qsTr("Custom range…")
        current: ProfilePresentation.isCustomRange(menu.filter)
        onTriggered: menu.customChosen()
    }
}
