<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="en">
<context>
    <name>AudioTrackError</name>
    <message>
        <location filename="../src/downloads/AudioTrack.cpp" line="+268"/>
        <source>This reel has no sound.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AuthPill</name>
    <message>
        <location filename="../src/browsing/AuthPill.qml" line="+23"/>
        <source>Signed in to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+55"/>
        <source>Sign out of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Connect %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BatchNotifier</name>
    <message>
        <location filename="../src/downloads/BatchNotifier.cpp" line="+40"/>
        <source>%1 saved, %2 failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>1 reel saved to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 reels saved to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>1 reel failed to download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 reels failed to download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+74"/>
        <source>Open download folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CliArguments</name>
    <message>
        <location filename="../src/cli/CliOptions.cpp" line="+46"/>
        <source>--%1 is given more than once</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+35"/>
        <source>--until takes a date as YYYY-MM-DD, not &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>--until goes with --since DATE, not with --since %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>--since takes today, 7d, 30d, 90d, year or a date as YYYY-MM-DD, not &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>--since %1 is after --until %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+23"/>
        <source>a command is missing: list or download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>the command comes first: list or download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>unknown command &apos;%1&apos;: list or download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+30"/>
        <source>a profile link or handle is missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>one profile at a time; unexpected &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&apos;%1&apos; is not a profile link or handle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>--demo and --cookies exclude each other</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+27"/>
        <source>--quality is 1080p, 720p, 480p or audio, not &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>--ids chooses reels itself; leave out --since and --until</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>--ids needs at least one reel id</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>--jobs is a number from %1 to %2, not &apos;%3&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>--dir needs a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>%1: %2 (see &apos;%3&apos;)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Usage: clipdock-cli COMMAND [options] LINK

Lists and downloads the reels of an Instagram or Facebook profile with Clip
Dock&apos;s sources, sign-in, download queue and settings.

Commands:
  list       Print the profile and one line per reel.
  download   Download the profile&apos;s reels through the download queue.

LINK is a profile link or an Instagram handle: &quot;@nasa&quot;,
&quot;https://www.instagram.com/nasa/&quot;, &quot;https://www.facebook.com/nasa&quot;.

Options:
  -h, --help   Show this help; &apos;clipdock-cli COMMAND --help&apos; for a command&apos;s.
  --version    Show the version.

Sign-in: the sessions of the Clip Dock app are used; without one the demo
source answers, as in the app. --cookies FILE reads a Netscape cookies file
instead, --demo forces the demo sources.

Exit status:
  0        everything asked for was saved or listed
  1        partly done: some items failed, or the profile&apos;s reels stopped
           coming part way (those received are still listed or saved)
  2        usage error
  3        the profile could not be fetched
  128+N    stopped by signal N: 130 Ctrl-C, 143 SIGTERM, 129 hang-up
No status leaves a partial file behind.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Usage: clipdock-cli list [options] LINK

Prints the profile (name, handle, followers, reel count, verified) and one line
per reel (id, posting date, duration, views, likes, qualities offered).

Options:
  --json          One JSON object per line: the profile, then one per reel.
  --since WHEN    Only reels from then on: today, 7d, 30d, 90d, year or a date
                  YYYY-MM-DD. Pages of older reels are not read.
  --until DATE    Last day to take, YYYY-MM-DD (with --since DATE or alone).
  --cookies FILE  Sign in with a Netscape-format cookies file for this run.
  --demo          Answer with the demo sources.
  -h, --help      Show this help.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Usage: clipdock-cli download [options] LINK

Downloads the profile&apos;s reels (all, or those the filters choose) into the
download folder, under the same names as in the app.

Options:
  --quality Q     1080p, 720p, 480p or audio (default 720p).
  --since WHEN    today, 7d, 30d, 90d, year or a date YYYY-MM-DD. Pages of
                  older reels are not read.
  --until DATE    Last day to take, YYYY-MM-DD (with --since DATE or alone).
  --ids IDS       Only these reels, as comma-separated ids (instead of dates).
  --jobs N        Transfers at once, 1 to 10 (default the app&apos;s setting).
  --dir DIR       Folder for the files (default the app&apos;s folder); made if
                  missing, not remembered.
  --overwrite     Download reels again whose file is already in the folder,
                  replacing it (by default they are skipped).
  --cookies FILE  Sign in with a Netscape-format cookies file for this run.
  --demo          Answer with the demo sources.
  -h, --help      Show this help.

Dates are whole days of the local calendar, both ends included. Each file
is dated with its reel&apos;s posting time.
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CliFormat</name>
    <message>
        <location filename="../src/cli/CliFormat.cpp" line="+33"/>
        <source>yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+23"/>
        <source>1 reel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 reels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Name:      %1
Handle:    @%2
Platform:  %3
Followers: %4 (%5)
Reels:     %6
Verified:  %7
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Demo profile: generated sample data, not the account&apos;s own.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>POSTED</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>DURATION</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>VIEWS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>LIKES</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QUALITIES</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+86"/>
        <source>skipped %1: already saved: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>saved %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>failed %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>@%1: the list is incomplete, fetching stopped after %2: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+21"/>
        <source>not among the %1 received</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>no reel with this id in the profile</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Interrupted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Saved %1 of %2 to %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>(%1 already saved)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Failed %1:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CliRunner</name>
    <message>
        <location filename="../src/cli/CliRunner.cpp" line="+143"/>
        <source>a cookies file signs in to Instagram only (Facebook pages are read in the app&apos;s browser): answering with the demo source</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>sign in in the app, or pass --cookies FILE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>sign in in the app</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>not signed in to %1: answering with the demo source (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>the browser that reads Facebook pages cannot start as root with its sandbox on; run as a normal user</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <source>cannot read the cookies file %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>the cookies file %1 is over %2 MiB: too large for a cookies file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>the cookies file %1 is not in Netscape format, %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Fetching @%1: %2 reels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+32"/>
        <location line="+167"/>
        <source>Interrupted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-159"/>
        <source>stopped after %1 page: the rest is older than %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>stopped after %1 pages: the rest is older than %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>the source delivered no profile</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+44"/>
        <source>cannot make or use the folder %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>nothing to download: none of the reels received matches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>nothing to download: no reel of @%1 matches</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CustomDateRangeSheet</name>
    <message>
        <location filename="../src/browsing/CustomDateRangeSheet.qml" line="+30"/>
        <source>Custom date range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Only reels posted in this range will show.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>From</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>To</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Start date must be before end date.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Apply</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DateFilterMenu</name>
    <message>
        <location filename="../src/browsing/DateFilterMenu.qml" line="+34"/>
        <source>Custom range…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DateRangeFilter</name>
    <message>
        <location filename="../src/core/DateRangeFilter.cpp" line="+48"/>
        <location line="+14"/>
        <source>All time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-13"/>
        <location line="+14"/>
        <source>Today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-13"/>
        <source>Last 7 days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Last 30 days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Last 90 days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>This year</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Custom range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>7 days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>30 days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>90 days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Year</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 – %2</source>
        <comment>first and last day</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DayPicker</name>
    <message>
        <location filename="../src/browsing/DayPicker.qml" line="+90"/>
        <source>Previous month</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Next month</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DownloadManager</name>
    <message>
        <location filename="../src/downloads/DownloadManager.cpp" line="+21"/>
        <source>Cancelled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Stopped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+74"/>
        <source>%1 in progress · %2 of %3 done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1 done · %2 failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 of %2 downloaded</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DownloadRow</name>
    <message>
        <location filename="../src/downloads/DownloadRow.qml" line="+120"/>
        <source>Already saved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Saved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Queued</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Retry</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DownloadSheet</name>
    <message>
        <location filename="../src/downloads/DownloadSheet.qml" line="+39"/>
        <source>Downloads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Stop all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Retry failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Clear finished</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Overall progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Open download folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Downloader</name>
    <message>
        <location filename="../src/downloads/Downloader.cpp" line="+206"/>
        <source>Unsupported download address: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+34"/>
        <source>The server sent the download to an address that is not on the web (%1).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DownloaderError</name>
    <message>
        <location line="-104"/>
        <source>Not a media file (got %1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Downloaded file was not found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The connection closed before the whole file arrived (%1 of %2 bytes).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The server sent an empty file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The server sent the file in an encoding it was not asked for (%1).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FetchStep</name>
    <message>
        <location filename="../src/sources/ProfileServiceType.h" line="+31"/>
        <source>%1 — continuing in %2 s</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileActions</name>
    <message>
        <location filename="../src/downloads/FileActions.cpp" line="+48"/>
        <source>Show in Finder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Show in Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+45"/>
        <source>The download folder must be a folder on this computer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>“%1” is a file, not a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Couldn&apos;t create “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>No application could open “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FolderChooser</name>
    <message>
        <location filename="../src/downloads/FolderChooser.cpp" line="+168"/>
        <source>Use This Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Choose Download Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+91"/>
        <source>“%1” is no longer there.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Type a name for the new folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A folder name cannot contain “/”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>“%1” cannot be a folder name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>“%1” already exists here.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Couldn&apos;t create “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>“%1” is no longer a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>The folder you chose is not a folder on this computer, so downloads still go to %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FolderPickerView</name>
    <message>
        <location filename="../src/downloads/FolderPickerView.qml" line="+41"/>
        <source>Choose Download Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Parent folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+86"/>
        <source>No folders inside</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+21"/>
        <source>New folder name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Create</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+52"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Use This Folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HiddenWebExtractor</name>
    <message>
        <location filename="../src/sources/HiddenWebExtractor.cpp" line="+155"/>
        <source>This page reader has already been used.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+29"/>
        <source>The page stopped unexpectedly.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+30"/>
        <source>The page could not be loaded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+22"/>
        <source>The page reading script is missing.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Http</name>
    <message>
        <location filename="../src/core/Http.cpp" line="+76"/>
        <source>The server&apos;s answer was larger than %1 MB and was not read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+173"/>
        <source>The request timed out.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+45"/>
        <source>The server redirected the request to an address that is not on the web (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The server redirected the request in a loop.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The server redirected the request too many times.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The server redirected the request to another site (%1); it was not followed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InstagramServiceError</name>
    <message>
        <location filename="../src/sources/InstagramServiceError.cpp" line="+45"/>
        <source>Sign in to %1 first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Couldn&apos;t read the response (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>HTTP %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>HTTP %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>That doesn&apos;t look like a valid Instagram or Facebook link.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>We couldn&apos;t find that profile.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Too many requests — try again in a moment.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No videos found on that page (the page may require login or have no public videos).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LaunchOptions</name>
    <message>
        <location filename="../src/app/LaunchOptions.cpp" line="+26"/>
        <source>unknown option &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>one link at a time; unexpected &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Usage: clipdock [LINK]

Opens Clip Dock and searches LINK when one is given: a profile link or a handle,
&quot;@nasa&quot;, &quot;https://www.instagram.com/nasa/&quot;, &quot;https://www.facebook.com/nasa&quot;.
When Clip Dock is already running, its window comes to the front and searches
LINK instead of a second window opening.

Options:
  -h, --help     Show this help.
  -v, --version  Show the version.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <source>clipdock: %1 (see &apos;clipdock --help&apos;)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LoginView</name>
    <message>
        <location filename="../src/auth/LoginView.qml" line="+24"/>
        <source>Sign in to %1 in the window below.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Signed in — closing…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+34"/>
        <source>Connect %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Cookies stay on this device.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Login page</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <location filename="../src/browsing/Main.qml" line="+73"/>
        <source>Downloads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Reel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Connect %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Update available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NetscapeCookies</name>
    <message>
        <location filename="../src/cli/NetscapeCookies.cpp" line="+32"/>
        <source>line %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+20"/>
        <source>expected 7 tab-separated fields (domain, subdomains, path, secure, expiry, name, value), found %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>the domain is empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the subdomains field is TRUE or FALSE, not &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>the secure field is TRUE or FALSE, not &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>the path starts with &apos;/&apos;, not &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>the expiry is seconds since 1970 (0 for the session), not &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>the cookie has no name</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProfileHeaderView</name>
    <message>
        <location filename="../src/browsing/ProfileHeaderView.qml" line="+124"/>
        <source>Demo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+34"/>
        <source>Followers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Reels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Verified</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>No</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Demo profile: sign in to %1 to see the real one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Sign in</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProfilePresentation</name>
    <message>
        <location filename="../src/browsing/ProfilePresentation.cpp" line="+46"/>
        <source>%1 of %2 reels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 reels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Deselect all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Select all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+47"/>
        <source>%1 reel match %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 reels match %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 reel selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 reels selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Download %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Nothing to download</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProfileSectionHeader</name>
    <message>
        <location filename="../src/browsing/ProfileSectionHeader.qml" line="+55"/>
        <source>%1 selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+52"/>
        <source>Loading more…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+105"/>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+36"/>
        <source>Date filter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+59"/>
        <location line="+47"/>
        <source>%1 per row</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Select</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProfileView</name>
    <message>
        <location filename="../src/browsing/ProfileView.qml" line="+120"/>
        <source>Saving to </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+189"/>
        <source>Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Grid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+102"/>
        <source>Downloads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 in progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Download options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Custom date range</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QualityPickerView</name>
    <message>
        <location filename="../src/browsing/QualityPickerView.qml" line="+40"/>
        <source>Download options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Date range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Optional — limit which reels are downloaded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+190"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Custom date range</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RealFacebookService</name>
    <message>
        <location filename="../src/sources/RealFacebookService.cpp" line="+38"/>
        <source>No MP4 addresses from the Facebook video CDN were found on /reels or /videos. HTML %1 bytes, thumbs: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Reading the reels page…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reading the videos page…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RealInstagramService</name>
    <message>
        <location filename="../src/sources/RealInstagramService.cpp" line="+310"/>
        <source>Instagram asked to slow down</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReelCardView</name>
    <message>
        <location filename="../src/browsing/ReelCardView.qml" line="+37"/>
        <source>Reel, %1, %2 views</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+134"/>
        <source>Saved</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReelListRow</name>
    <message>
        <location filename="../src/browsing/ReelListRow.qml" line="+42"/>
        <source>%1, %2 views, %3 likes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+80"/>
        <source>Reel #%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+75"/>
        <source>Download</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReelPlayer</name>
    <message>
        <location filename="../src/browsing/ReelPlayer.qml" line="+108"/>
        <source>This reel can&apos;t be played here.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+70"/>
        <source>Download</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReelsViewModel</name>
    <message>
        <location filename="../src/browsing/ReelsViewModel.cpp" line="+266"/>
        <source>Download All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Download %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SearchView</name>
    <message>
        <location filename="../src/browsing/SearchView.qml" line="+99"/>
        <source>Paste an Instagram or Facebook profile link to browse and download videos in one tap.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+52"/>
        <source>instagram.com/user or facebook.com/user</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Profile link or handle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Paste</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+43"/>
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Find Reels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Fetching reels…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+66"/>
        <source>Only download content you have rights to.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <location filename="../src/updates/SettingsView.qml" line="+187"/>
        <location line="+9"/>
        <source>Choose Download Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-8"/>
        <source>Use This Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Download folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Choose folder…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Simultaneous downloads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>How many reels download at once when you tap Download All.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+65"/>
        <source>Higher numbers download faster but use more bandwidth and may hit Instagram rate limits.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Skip reels already saved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reels whose file is already in the download folder are not downloaded again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+57"/>
        <source>Updates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Current version %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>You&apos;re up to date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Version %1 available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Checking…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Get version %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Check for updates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Files are saved to the folder you pick. macOS keeps a permission grant so we can write there in future sessions too.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files are saved to the folder you pick. Clip Dock remembers it for future sessions too.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <location filename="../src/app/SingleInstance.cpp" line="+60"/>
        <source>Clip Dock is already running but did not answer.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateAvailableSheet</name>
    <message>
        <location filename="../src/updates/UpdateAvailableSheet.qml" line="+45"/>
        <source>Update available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Version %1 is ready to install.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Currently installed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+66"/>
        <source>No release notes provided.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Later</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Download update</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateManifest</name>
    <message>
        <location filename="../src/updates/UpdateService.cpp" line="+31"/>
        <source>The update manifest isn&apos;t valid JSON (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The update manifest isn&apos;t a JSON object.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The update manifest lacks &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The update manifest&apos;s &quot;%1&quot; isn&apos;t text.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateService</name>
    <message>
        <location line="+55"/>
        <source>Manifest returned HTTP %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VideoQuality</name>
    <message>
        <location filename="../src/core/VideoQuality.cpp" line="+33"/>
        <source>Audio only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Full HD · best quality</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>HD · balanced</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Standard · smaller files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>M4A · audio track only</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../src/app/main.cpp" line="+92"/>
        <source>Clip Dock cannot run as root: its embedded browser refuses to start with its sandbox as root. Run it as a normal user.
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
