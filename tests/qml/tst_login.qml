import QtQuick
import QtTest
import ClipDock

Item {
    id: top
    width: 640
    height: 780

    TestCase {
        id: testCase
        name: "LoginScreen"
        when: windowShown

        Component {
            id: loginComponent
            LoginView { width: 640; height: 780 }
        }
        Component {
            id: spyComponent
            SignalSpy { }
        }

        function openLogin(auth) {
            const view = createTemporaryObject(loginComponent, top, { auth: auth })
            const completed = createTemporaryObject(spyComponent, testCase,
                                                    { target: view, signalName: "complete" })
            return { view: view, completed: completed, web: findChild(view, "loginWebView"),
                     status: findChild(view, "statusText") }
        }

        function submitForm(web) {
            web.runJavaScript("document.querySelector('[name=username]').value = 'ana';"
                              + "document.querySelector('[name=password]').value = 'secret';"
                              + "document.getElementById('login').submit();")
        }

        // The simulator's login page sets the session cookies (or they are there already); the
        // screen notices after a finished load, says so, and closes itself a moment later.
        function test_signIn_data() {
            return [
                { tag: "instagram, through the page", platform: "instagram", name: "Instagram", already: false },
                { tag: "facebook, through the page", platform: "facebook", name: "Facebook", already: false },
                { tag: "facebook, already signed in", platform: "facebook", name: "Facebook", already: true },
            ]
        }

        function test_signIn(data) {
            if (data.already)
                harness.signInBrowser(data.platform)
            const root = harness.newRoot()
            const auth = data.platform === "facebook" ? root.facebookAuth : root.instagramAuth
            tryCompare(auth, "isSignedIn", data.already, 5000)
            const login = openLogin(auth)
            compare(login.web.url, UiCatalog.loginURL(data.platform))
            if (!data.already) {
                compare(login.status.text, "Sign in to " + data.name + " in the window below.")
                tryVerify(() => !login.web.loading && login.web.title === "Log in to " + data.name, 20000)
                compare(login.completed.count, 0)
                submitForm(login.web)
            }
            tryCompare(login.status, "text", "Signed in — closing…", 20000)
            const announced = Date.now()
            login.completed.wait(5000)
            verify(Date.now() - announced >= 300, "the screen waits before closing")
            auth.signOut()
            tryCompare(auth, "isSignedIn", false)
        }
    }
}
