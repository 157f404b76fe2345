import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import ClipDock

// The loaded profile: its header, where files go, the reels as a grid or a list with their
// filters and selection, and the bar with the main download button. Every control changes the
// view model or calls it or the download queue; the screen keeps nothing of its own. It hosts the
// download options and the custom date range sheets.
Rectangle {
    id: screen

    required property ReelsViewModel viewModel
    required property DownloadManager downloadManager
    required property DownloadDestination destination
    signal back()

    readonly property bool selecting: viewModel.isSelectionMode

    color: Theme.background

    // Ctrl+A takes every loaded reel while selecting; otherwise it is left to whoever has the
    // keyboard, so it never starts a selection by surprise.
    Shortcut {
        sequences: [StandardKey.SelectAll]
        enabled: screen.enabled && screen.selecting
        onActivated: screen.viewModel.selectAll()
    }

    // A card or a row: plays the reel, or toggles it while selecting.
    function tapReel(id) {
        if (viewModel.isSelectionMode)
            viewModel.toggleSelection(id)
        else
            viewModel.play(id)
    }
    // A long press selects, entering selection mode first when needed.
    function longPressReel(id) {
        if (!viewModel.isSelectionMode)
            viewModel.isSelectionMode = true
        viewModel.toggleSelection(id)
    }
    function openDownloadOptions() {
        viewModel.downloadDateFilter = viewModel.dateFilter
        viewModel.showingQualitySheet = true
    }
    // The options close before the queue opens, so the queue's sheet stands over the window.
    function confirmDownload() {
        const reels = viewModel.reelsToDownloadList()
        viewModel.showingQualitySheet = false
        downloadManager.enqueue(reels, viewModel.selectedQuality)
        if (viewModel.isSelectionMode)
            viewModel.toggleSelectionMode()
    }

    // What scrolls above the reels: the account, the destination and the section header.
    Component {
        id: headerBlock

        Item {
            id: headerItem

            readonly property Flickable view: ListView.view ? ListView.view : GridView.view
            // Whether the view shows its top. A view keeps its rows in place when the header
            // grows or shrinks (the section header takes a second row when it runs out of width),
            // which would push the header's top out of sight.
            property bool atTop: true

            width: view.width
            height: headerColumn.implicitHeight + topBar.height + 12 + 16
            onHeightChanged: if (atTop) Qt.callLater(returnToTop)

            function returnToTop() {
                view.forceLayout()
                view.contentY = view.originY
            }

            Connections {
                target: headerItem.view
                function onContentYChanged() {
                    headerItem.atTop = headerItem.view.contentY <= headerItem.view.originY + 1
                }
            }

            ColumnLayout {
                id: headerColumn
                x: 20
                y: topBar.height + 12
                width: parent.width - 40
                spacing: 16

                ProfileHeaderView {
                    objectName: "profileHeader"
                    Layout.fillWidth: true
                    visible: screen.viewModel.hasProfile
                    profile: screen.viewModel.profile
                    onSignInRequested: screen.viewModel.openLogin(screen.viewModel.profile.platform)
                }

                PressableButton {
                    objectName: "destinationPill"
                    Layout.fillWidth: true
                    Accessible.name: savingLabel.text + screen.destination.displayPath
                    implicitHeight: destinationRow.implicitHeight + 20
                    background: GlassCard { cornerRadius: 12 }
                    contentItem: Item {
                        RowLayout {
                            id: destinationRow
                            anchors.fill: parent
                            anchors.leftMargin: 14
                            anchors.rightMargin: 14
                            spacing: 6
                            Icon {
                                symbol: "folder.fill"
                                size: 11
                                color: Theme.accent
                            }
                            Text {
                                id: savingLabel
                                text: qsTr("Saving to ")
                                color: Theme.textSecondary
                                font.pixelSize: 12
                                font.weight: Font.Medium
                                rightPadding: -6 // the gap is the blank in the text
                            }
                            Text {
                                objectName: "destinationText"
                                Layout.fillWidth: true
                                text: screen.destination.displayPath
                                color: Theme.textPrimary
                                font.pixelSize: 12
                                font.weight: Font.Medium
                                elide: Text.ElideMiddle
                                maximumLineCount: 1
                            }
                            Icon {
                                symbol: "chevron.right"
                                size: 12
                                color: Theme.textTertiary
                            }
                        }
                    }
                    onClicked: screen.viewModel.showingSettings = true
                }

                ProfileSectionHeader {
                    objectName: "sectionHeader"
                    Layout.fillWidth: true
                    viewModel: screen.viewModel
                    onCustomRangeRequested: screen.viewModel.showingCustomDateRange = true
                }
            }
        }
    }

    // Room for the last reels to scroll above the bottom bar.
    Component {
        id: footerSpacer
        Item {
            width: 1
            height: 140
        }
    }

    Component {
        id: gridComponent

        GridView {
            id: grid
            objectName: "reelGrid"

            readonly property int columns: ProfilePresentation.columnsShown(screen.viewModel.gridColumns)
            readonly property real gap: ProfilePresentation.gridSpacing(screen.viewModel.gridColumns)
            readonly property bool compact: ProfilePresentation.compactCards(screen.viewModel.gridColumns)
            readonly property real cardWidth: (width - 40 - (columns - 1) * gap) / columns

            // Each cell is a card and the gap after it; the first card sits 20 from the edge, so
            // every card sits 20 into its cell.
            cellWidth: cardWidth + gap
            cellHeight: Math.round(cardWidth * 16 / 9) + gap
            boundsBehavior: Flickable.StopAtBounds
            cacheBuffer: 400
            model: screen.viewModel.filteredModel
            header: headerBlock
            footer: footerSpacer

            delegate: Item {
                id: cell

                required property int index
                required property string reelId
                required property url thumbnailURL
                required property var durationSeconds
                required property var viewCount
                required property bool selected
                property var downloadState: screen.downloadManager.stateFor(reelId)

                width: grid.cellWidth
                height: grid.cellHeight

                Connections {
                    target: screen.downloadManager
                    function onReelStateChanged(id) {
                        if (id === cell.reelId)
                            cell.downloadState = screen.downloadManager.stateFor(id)
                    }
                }

                ReelCardView {
                    objectName: "reelCard"
                    x: 20
                    width: grid.cardWidth
                    height: grid.cellHeight - grid.gap
                    reelId: cell.reelId
                    thumbnailURL: cell.thumbnailURL
                    durationSeconds: cell.durationSeconds
                    viewCount: cell.viewCount
                    selected: cell.selected
                    isSelectionMode: screen.selecting
                    compact: grid.compact
                    downloadState: cell.downloadState
                    onTapped: screen.tapReel(reelId)
                    onLongPressed: screen.longPressReel(reelId)
                    onActiveFocusChanged: if (activeFocus) grid.positionViewAtIndex(cell.index, GridView.Contain)
                }
            }
        }
    }

    Component {
        id: listComponent

        ListView {
            id: list
            objectName: "reelList"
            spacing: 10
            boundsBehavior: Flickable.StopAtBounds
            cacheBuffer: 400
            model: screen.viewModel.filteredModel
            header: headerBlock
            footer: footerSpacer

            delegate: Item {
                id: entry

                required property int index
                required property string reelId
                required property url thumbnailURL
                required property var durationSeconds
                required property var viewCount
                required property var likeCount
                required property bool selected
                required property var reel
                property var downloadState: screen.downloadManager.stateFor(reelId)

                width: list.width
                height: row.implicitHeight

                Connections {
                    target: screen.downloadManager
                    function onReelStateChanged(id) {
                        if (id === entry.reelId)
                            entry.downloadState = screen.downloadManager.stateFor(id)
                    }
                }

                ReelListRow {
                    id: row
                    objectName: "reelRow"
                    x: 20
                    width: parent.width - 40
                    index: entry.index
                    reelId: entry.reelId
                    thumbnailURL: entry.thumbnailURL
                    durationSeconds: entry.durationSeconds
                    viewCount: entry.viewCount
                    likeCount: entry.likeCount
                    selected: entry.selected
                    isSelectionMode: screen.selecting
                    downloadState: entry.downloadState
                    onTapped: if (screen.selecting) screen.viewModel.toggleSelection(reelId)
                    onLongPressed: screen.longPressReel(reelId)
                    onPlay: screen.viewModel.play(reelId)
                    onDownload: screen.downloadManager.enqueue([entry.reel], screen.viewModel.selectedQuality)
                    onActiveFocusChanged: if (activeFocus) list.positionViewAtIndex(entry.index, ListView.Contain)
                }
            }
        }
    }

    // The top bar; the reels scroll beneath it. It comes first so that Tab reads the screen from
    // the top.
    Rectangle {
        id: topBar
        anchors.left: parent.left
        anchors.right: parent.right
        height: 60
        z: 1
        color: Theme.withAlpha(Theme.background, 0.92)

        RowLayout {
            anchors.fill: parent
            anchors.leftMargin: 20
            anchors.rightMargin: 20
            spacing: 10

            CircleButton {
                objectName: "backButton"
                Accessible.name: qsTr("Back")
                symbol: "chevron.left"
                symbolSize: 18
                onClicked: screen.back()
            }
            Item { Layout.fillWidth: true }
            Text {
                objectName: "handleTitle"
                Layout.maximumWidth: topBar.width - 2 * 150
                visible: screen.viewModel.hasProfile
                text: "@" + screen.viewModel.profile.username
                color: Theme.textPrimary
                font.pixelSize: 15
                font.weight: Font.DemiBold
                elide: Text.ElideRight
            }
            Item { Layout.fillWidth: true }

            Rectangle {
                objectName: "layoutToggle"
                implicitWidth: toggleRow.implicitWidth + 6
                implicitHeight: toggleRow.implicitHeight + 6
                radius: 11
                color: Theme.surface
                border.color: Theme.stroke
                border.width: 1

                Row {
                    id: toggleRow
                    anchors.centerIn: parent
                    spacing: 3
                    Repeater {
                        model: [ { mode: ReelsViewModel.Grid, symbol: "square.grid.2x2.fill", name: "gridButton",
                                   label: qsTr("Grid") },
                                 { mode: ReelsViewModel.List, symbol: "list.bullet", name: "listButton",
                                   label: qsTr("List") } ]
                        PressableButton {
                            required property var modelData
                            readonly property bool current: screen.viewModel.layout === modelData.mode
                            objectName: modelData.name
                            Accessible.name: modelData.label
                            Accessible.checkable: true
                            Accessible.checked: current
                            implicitWidth: 36
                            implicitHeight: 30
                            background: BrandFill {
                                radius: 9
                                visible: parent.current
                            }
                            contentItem: Icon {
                                symbol: modelData.symbol
                                size: 15
                                color: parent.current ? "white" : Theme.textSecondary
                            }
                            onClicked: if (!current) screen.viewModel.layout = modelData.mode
                        }
                    }
                }
            }

            CircleButton {
                objectName: "settingsButton"
                Accessible.name: qsTr("Settings")
                symbol: "gearshape.fill"
                symbolSize: 16
                onClicked: screen.viewModel.showingSettings = true
            }
        }
    }

    Loader {
        id: reels
        objectName: "reelsLoader"
        anchors.fill: parent
        sourceComponent: screen.viewModel.layout === ReelsViewModel.Grid ? gridComponent
                                                                          : listComponent
        // A new layout or column count fades in rather than snapping into place.
        property bool firstLoad: true
        onLoaded: {
            if (!firstLoad)
                appear.restart()
            firstLoad = false
        }

        Connections {
            target: screen.viewModel
            function onGridColumnsChanged() { appear.restart() }
        }

        NumberAnimation {
            id: appear
            target: reels
            property: "opacity"
            from: 0.35
            to: 1
            duration: 320
            easing.type: Easing.OutCubic
        }
    }

    // The bottom bar: a fade, then the main download button and the way to the queue.
    Column {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom

        Rectangle {
            width: parent.width
            height: 80
            gradient: Gradient {
                GradientStop { position: 0; color: Theme.withAlpha(Theme.background, 0) }
                GradientStop { position: 0.5; color: Theme.withAlpha(Theme.background, 0.95) }
                GradientStop { position: 1; color: Theme.background }
            }
        }
        Rectangle {
            width: parent.width
            height: 54 + 12
            color: Theme.background

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 20
                anchors.rightMargin: 20
                anchors.bottomMargin: 12
                spacing: 10

                PressableButton {
                    id: mainDownloadButton
                    objectName: "mainDownloadButton"
                    Layout.fillWidth: true
                    Layout.preferredHeight: 54
                    text: screen.viewModel.primaryActionLabel
                    background: BrandFill {
                        radius: 18
                        shadowColor: Theme.withAlpha(Theme.accent, 0.4)
                        shadowRadius: 20
                        shadowY: 10
                    }
                    contentItem: Item {
                        Row {
                            anchors.centerIn: parent
                            spacing: 10
                            Icon {
                                anchors.verticalCenter: parent.verticalCenter
                                symbol: "arrow.down.circle.fill"
                                size: 19
                                color: "white"
                            }
                            Text {
                                objectName: "mainDownloadLabel"
                                anchors.verticalCenter: parent.verticalCenter
                                text: mainDownloadButton.text
                                color: "white"
                                font.pixelSize: 16
                                font.weight: Font.DemiBold
                            }
                        }
                    }
                    onClicked: screen.openDownloadOptions()
                }

                PressableButton {
                    objectName: "downloadsButton"
                    Accessible.name: qsTr("Downloads")
                    Accessible.description: downloadsBadge.visible ? qsTr("%1 in progress").arg(badgeText.text) : ""
                    Layout.preferredWidth: 54
                    Layout.preferredHeight: 54
                    background: GlassCard { cornerRadius: 18 }
                    contentItem: Icon {
                        symbol: "tray.and.arrow.down.fill"
                        size: 20
                    }
                    onClicked: screen.downloadManager.isPresented = true

                    Rectangle {
                        id: downloadsBadge
                        objectName: "downloadsBadge"
                        visible: screen.downloadManager.activeCount >= 1
                        x: parent.width - width + 4
                        y: -4
                        width: Math.max(16, badgeText.implicitWidth + 10)
                        height: 16
                        radius: 8
                        color: Theme.accent
                        Text {
                            id: badgeText
                            objectName: "downloadsBadgeText"
                            anchors.centerIn: parent
                            text: screen.downloadManager.activeCount
                            color: "white"
                            font.pixelSize: 10
                            font.weight: Font.Bold
                        }
                    }
                }
            }
        }
    }

    Sheet {
        id: qualitySheet
        objectName: "qualitySheet"
        title: qsTr("Download options")
        minimumWidth: 400
        minimumHeight: 600
        width: 440
        height: 640
        open: screen.viewModel.showingQualitySheet
        onDismissed: screen.viewModel.showingQualitySheet = false

        // Built afresh on every opening, so its nested range sheet starts closed.
        Loader {
            anchors.fill: parent
            active: qualitySheet.open
            sourceComponent: QualityPickerView {
                viewModel: screen.viewModel
                showDateFilter: screen.viewModel.selectedCount === 0
                reelCount: screen.viewModel.downloadCount
                onConfirm: screen.confirmDownload()
                onCancel: screen.viewModel.showingQualitySheet = false
            }
        }
    }

    Sheet {
        id: rangeSheet
        objectName: "customRangeSheet"
        title: qsTr("Custom date range")
        minimumWidth: 380
        minimumHeight: 360
        width: 420
        height: 380
        open: screen.viewModel.showingCustomDateRange
        onDismissed: screen.viewModel.showingCustomDateRange = false

        Loader {
            anchors.fill: parent
            active: rangeSheet.open
            sourceComponent: CustomDateRangeSheet {
                viewModel: screen.viewModel
                onApply: {
                    screen.viewModel.applyCustomRange(false)
                    screen.viewModel.showingCustomDateRange = false
                }
                onCancel: screen.viewModel.showingCustomDateRange = false
            }
        }
    }
}
