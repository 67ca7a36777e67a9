<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>brindle</name>
    <message>
        <source>Bound-state energies by Numerov integration from both ends: three pages, the last one live.</source>
        <translation>両端からのヌメロフ積分による束縛状態のエネルギー: 3 ページ、最後のページは実演。</translation>
    </message>
    <message>
        <source>print every iteration and the converged states as text and exit</source>
        <translation>反復のすべてと収束した状態を文字で出力して終了する</translation>
    </message>
    <message>
        <source>angular momentum, for --table, --export-data and the live page: 0 to 3
for the oscillator, 0 to 2 for coulomb and well, 0 for morse (default 1,
for morse 0); on the live page the keys 0 to 3 choose it</source>
        <translation>方位量子数 (--table、--export-data と実演ページ):
oscillator では 0～3、coulomb と well では 0～2、
morse では 0 (既定は 1、morse では 0)。実演ページでは
キー 0～3 で選ぶ</translation>
    </message>
    <message>
        <source>the model: oscillator (default), coulomb (hydrogen, V = -1/r), well (finite
spherical well, V0 = 25, a = 1) or morse (D = 8, r0 = 3); --table then ends
with every level beside its exact value and the difference; on the live
page the keys O, C, W and M choose it</source>
        <translation>モデル: oscillator (既定)、coulomb (水素、V = -1/r)、
well (有限の球形井戸、V0 = 25、a = 1)、morse (D = 8、
r0 = 3)。このとき --table の最後に各準位を厳密値と
差とともに示す。実演ページではキー O、C、W、M で選ぶ</translation>
    </message>
    <message>
        <source>with --potential well: put the well&apos;s edge r = a between two grid points
instead of on one, to see what the jump of V does to Numerov&apos;s method</source>
        <translation>井戸の端 r = a を格子点の上ではなく格子点の間に置き
(--potential well とともに)、V の跳びがヌメロフ法に
与える影響を見る</translation>
    </message>
    <message>
        <source>compute the run without waiting and write its figures as CSV files
into DIR (made if missing) and exit: iterations.csv, states.csv,
level-skips.csv, wavefunctions.csv; files already there are refused</source>
        <translation>待たずに計算し、その数値を CSV ファイルとして DIR
(なければ作る) に書いて終了する: iterations.csv,
states.csv, level-skips.csv, wavefunctions.csv。
既にあるファイルは拒否する</translation>
    </message>
    <message>
        <source>--export-data needs a folder</source>
        <translation>--export-data にはフォルダーが必要です</translation>
    </message>
    <message>
        <source>--off-grid applies only to --potential well</source>
        <translation>--off-grid は --potential well にだけ使えます</translation>
    </message>
    <message>
        <source>--l %1 is not computed for the %2: l goes from 0 to %3</source>
        <translation>--l %1 は %2 では計算しません: l は 0 から %3 までです</translation>
    </message>
    <message>
        <source>%1 cannot be combined with --export-pdf, --export-png or --page</source>
        <translation>%1 は --export-pdf、--export-png、--page と一緒に使えません</translation>
    </message>
    <message>
        <source>cannot write the table to standard output</source>
        <translation>表を標準出力に書けません</translation>
    </message>
    <message>
        <source>--potential needs oscillator, coulomb, well or morse, not &quot;%1&quot;</source>
        <translation>--potential には oscillator、coulomb、well、morse のどれかが必要です (&quot;%1&quot; ではなく)</translation>
    </message>
    <message>
        <source>--l needs a whole number from 0 to 3 (the angular momentum), not &quot;%1&quot;</source>
        <translation>--l には 0 から 3 までの整数 (方位量子数) が必要です (&quot;%1&quot; ではなく)</translation>
    </message>
</context>
<context>
    <name>brindle::BrindleDocument</name>
    <message>
        <source>On the last page: </source>
        <translation>最後のページで</translation>
    </message>
    <message>
        <source>Oscillator</source>
        <translation>振動子</translation>
    </message>
    <message>
        <source>On the last page: compute again for the 3-D harmonic oscillator r²/2</source>
        <translation>最後のページで 3 次元調和振動子 r²/2 を計算し直す</translation>
    </message>
    <message>
        <source>Hydrogen</source>
        <translation>水素</translation>
    </message>
    <message>
        <source>On the last page: compute again for the hydrogen atom −1/r (l = 0 … 2)</source>
        <translation>最後のページで水素原子 −1/r（l = 0 … 2）を計算し直す</translation>
    </message>
    <message>
        <source>Well</source>
        <translation>井戸</translation>
    </message>
    <message>
        <source>On the last page: compute again for the finite spherical well (V₀ = 25, a = 1, l = 0 … 2)</source>
        <translation>最後のページで有限の球形井戸（V₀ = 25，a = 1，l = 0 … 2）を計算し直す</translation>
    </message>
    <message>
        <source>Morse</source>
        <translation>モース</translation>
    </message>
    <message>
        <source>On the last page: compute again for the Morse potential (D = 8, r₀ = 3, l = 0)</source>
        <translation>最後のページでモース・ポテンシャル（D = 8，r₀ = 3，l = 0）を計算し直す</translation>
    </message>
    <message>
        <source>On the last page: choose the angular momentum l = 0 … 3 and compute again</source>
        <translation>最後のページで方位量子数 l = 0 … 3 を選んで計算し直す</translation>
    </message>
</context>
<context>
    <name>calyx</name>
    <message>
        <source>The helium atom, from its Hamiltonian to the Hartree equations: four pages.</source>
        <translation>ヘリウム原子、そのハミルトニアンからハートリー方程式まで: 4 ページ。</translation>
    </message>
</context>
<context>
    <name>course::CommandLine</name>
    <message>
        <source>Usage: %1 [options]</source>
        <translation>使用法: %1 [オプション]</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>オプション:</translation>
    </message>
    <message>
        <source>show this help and exit</source>
        <translation>この説明を表示して終了する</translation>
    </message>
    <message>
        <source>show the version and exit</source>
        <translation>版を表示して終了する</translation>
    </message>
    <message>
        <source>Qt&apos;s own options (-platform NAME, -style NAME, …) are accepted too.</source>
        <translation>Qt 自身のオプション (-platform NAME、-style NAME など) も使えます。</translation>
    </message>
    <message>
        <source>%1: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set)</source>
        <translation>%1: ウィンドウを開くディスプレイがありません (DISPLAY も WAYLAND_DISPLAY も設定されていません)</translation>
    </message>
    <message>
        <source>;
without a display use %1</source>
        <translation>。
ディスプレイなしで使えるのは %1 です</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for more information.</source>
        <translation>詳しくは &apos;%1 --help&apos; を実行してください。</translation>
    </message>
    <message>
        <source>missing value after &apos;%1&apos;</source>
        <translation>&apos;%1&apos; の後に値がありません</translation>
    </message>
    <message>
        <source>unexpected value after &apos;%1&apos;</source>
        <translation>&apos;%1&apos; は値をとりません</translation>
    </message>
    <message>
        <source>unknown option: %1</source>
        <translation>知らないオプションです: %1</translation>
    </message>
    <message>
        <source>unexpected argument: %1</source>
        <translation>余分な引数があります: %1</translation>
    </message>
    <message>
        <source>%1: &apos;%2&apos; cannot be used</source>
        <translation>%1: &apos;%2&apos; は使えません</translation>
    </message>
    <message>
        <source>these options cannot be used together</source>
        <translation>これらのオプションは一緒に使えません</translation>
    </message>
</context>
<context>
    <name>course::DisplayCheck</name>
    <message>
        <source>%1: cannot open the display &apos;%2&apos; (no X server answers there, or it refuses this user);
without a display use --help to see the options that need none</source>
        <translation>%1: ディスプレイ &apos;%2&apos; を開けません (そこで応答する X サーバーがないか、このユーザーを拒否しています)。
ディスプレイなしで使えるオプションは --help で確かめてください</translation>
    </message>
</context>
<context>
    <name>course::DocumentMain</name>
    <message>
        <source>unknown failure</source>
        <translation>原因のわからない失敗</translation>
    </message>
    <message>
        <source>write every page to FILE, one page per PDF page, and exit</source>
        <translation>全ページを 1 ページずつ PDF の FILE に書いて終了する</translation>
    </message>
    <message>
        <source>--export-pdf needs a file name</source>
        <translation>--export-pdf にはファイル名が必要です</translation>
    </message>
    <message>
        <source>write page-0.png, page-0@2x.png, … of the screen pages
to DIR and exit</source>
        <translation>画面のページの page-0.png、page-0@2x.png … を
DIR に書いて終了する</translation>
    </message>
    <message>
        <source>--export-png needs a folder</source>
        <translation>--export-png にはフォルダーが必要です</translation>
    </message>
    <message>
        <source>open the window at page N (from 1)</source>
        <translation>ウィンドウを N ページ目 (1 から数える) で開く</translation>
    </message>
    <message>
        <source>--page: &apos;%1&apos; is not a page number (1, 2, …)</source>
        <translation>--page: &apos;%1&apos; はページ番号 (1、2、…) ではありません</translation>
    </message>
    <message>
        <source>with --export-png or --export-data: replace files already there</source>
        <translation>既にあるファイルを置き換える (--export-png か
--export-data とともに)</translation>
    </message>
    <message>
        <source>with --export-png: replace files already in DIR</source>
        <translation>DIR に既にあるファイルを置き換える (--export-png
とともに)</translation>
    </message>
    <message>
        <source>--force applies only to --export-png and --export-data</source>
        <translation>--force は --export-png と --export-data にだけ使えます</translation>
    </message>
    <message>
        <source>--force applies only to --export-png</source>
        <translation>--force は --export-png にだけ使えます</translation>
    </message>
    <message>
        <source>Without options the window opens at the first page.

Exit status: 0 on success, 1 when a file cannot be written or there is no
display for the window, 2 for a command line that cannot be used.</source>
        <translation>オプションがなければ、ウィンドウが最初のページで開きます。

終了状態: 成功なら 0、ファイルを書けないときやウィンドウを開く
ディスプレイがないときは 1、使えないコマンド行には 2。</translation>
    </message>
    <message numerus="yes">
        <source>--page: there is no page %1 (the document has %n page(s))</source>
        <translation>
            <numerusform>--page: %1 ページ目はありません (この文書は %n ページです)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>course::ExportFolder</name>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 はフォルダーではありません</translation>
    </message>
    <message>
        <source>cannot create the folder %1: %2 does not exist</source>
        <translation>フォルダー %1 を作れません: %2 がありません</translation>
    </message>
    <message>
        <source>cannot create the folder %1: %2 is not a folder</source>
        <translation>フォルダー %1 を作れません: %2 はフォルダーではありません</translation>
    </message>
    <message>
        <source>cannot create the folder %1: %2</source>
        <translation>フォルダー %1 を作れません: %2</translation>
    </message>
    <message>
        <source>%1 already exists (--force overwrites it)</source>
        <translation>%1 は既にあります (--force で上書きします)</translation>
    </message>
</context>
<context>
    <name>course::Form1</name>
    <message>
        <source>Print</source>
        <translation>印刷</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>前のページ</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>次のページ</translation>
    </message>
    <message>
        <source>First page</source>
        <translation>最初のページ</translation>
    </message>
    <message>
        <source>Last page</source>
        <translation>最後のページ</translation>
    </message>
    <message>
        <source>Print the whole window</source>
        <translation>ウィンドウ全体を印刷</translation>
    </message>
    <message>
        <source>unknown failure</source>
        <translation>原因のわからない失敗</translation>
    </message>
    <message>
        <source>Could not carry on: %1</source>
        <translation>処理を続けられませんでした: %1</translation>
    </message>
</context>
<context>
    <name>course::KeyOverlay</name>
    <message>
        <source>Keys</source>
        <translation>キー操作</translation>
    </message>
    <message>
        <source>Press any key or click to close</source>
        <translation>何かキーを押すかクリックすると閉じます</translation>
    </message>
</context>
<context>
    <name>course::PageExport</name>
    <message>
        <source>cannot write %1: the picture cannot be encoded</source>
        <translation>%1 を書けません: 画像を符号化できません</translation>
    </message>
    <message>
        <source>cannot start the PDF</source>
        <translation>PDF を始められません</translation>
    </message>
    <message>
        <source>cannot add page %1 to the PDF</source>
        <translation>PDF に %1 ページ目を加えられません</translation>
    </message>
    <message>
        <source>cannot finish the PDF</source>
        <translation>PDF を仕上げられません</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 を書けません: %2</translation>
    </message>
    <message>
        <source>cannot encode the picture %1</source>
        <translation>画像 %1 を符号化できません</translation>
    </message>
</context>
<context>
    <name>course::PageTools</name>
    <message>
        <source>Copy the page&apos;s text</source>
        <translation>ページの文字をコピー</translation>
    </message>
    <message>
        <source>Copy the page as a picture</source>
        <translation>ページを画像としてコピー</translation>
    </message>
    <message>
        <source>This list of keys</source>
        <translation>このキー一覧</translation>
    </message>
    <message>
        <source>This page has no text to copy</source>
        <translation>このページには写せる文字がありません</translation>
    </message>
    <message numerus="yes">
        <source>Copied the page&apos;s text (%n character(s))</source>
        <translation>
            <numerusform>ページの文字をコピーしました（%n 文字）</numerusform>
        </translation>
    </message>
    <message>
        <source>Could not make a picture of the page</source>
        <translation>ページを画像にできませんでした</translation>
    </message>
    <message>
        <source>Copied the page as a picture (%1 × %2 pixels)</source>
        <translation>ページを画像としてコピーしました（%1 × %2 ピクセル）</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>ページ %1 / %2</translation>
    </message>
</context>
<context>
    <name>course::PrintSink</name>
    <message>
        <source>cannot write %1: every name is taken</source>
        <translation>%1 を書けません: どの名前も使われています</translation>
    </message>
    <message>
        <source>Sent “%1” to the printer %2.</source>
        <translation>「%1」をプリンター %2 に送りました。</translation>
    </message>
    <message>
        <source>Could not print on the printer %1.</source>
        <translation>プリンター %1 に印刷できませんでした。</translation>
    </message>
    <message>
        <source>There is no printer, and the PDF could not be made either.</source>
        <translation>プリンターがなく、PDF も作れませんでした。</translation>
    </message>
    <message>
        <source>There is no printer, and the PDF could not be saved either: %1</source>
        <translation>プリンターがなく、PDF も保存できませんでした: %1</translation>
    </message>
    <message>
        <source>There is no printer, so the page was saved as a PDF: %1</source>
        <translation>プリンターがないため PDF に保存しました: %1</translation>
    </message>
</context>
<context>
    <name>course::RunControls</name>
    <message>
        <source>Pause and resume (P). While paused, N goes on to the next boundary</source>
        <translation>一時停止と再開 (P)。止めている間は N で次の区切りまで進む</translation>
    </message>
    <message>
        <source>Go on to the next boundary and stop (N)</source>
        <translation>次の区切りまで進めて止める (N)</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>コマ送り</translation>
    </message>
    <message>
        <source>Slower ([)</source>
        <translation>遅くする ([)</translation>
    </message>
    <message>
        <source>Faster (])</source>
        <translation>速くする (])</translation>
    </message>
    <message>
        <source>Slower</source>
        <translation>遅く</translation>
    </message>
    <message>
        <source>Faster</source>
        <translation>速く</translation>
    </message>
    <message>
        <source>Pause / resume the drawing</source>
        <translation>描画の一時停止 / 再開</translation>
    </message>
    <message>
        <source>While paused, go on by one boundary</source>
        <translation>一時停止中に一区切り進める</translation>
    </message>
    <message>
        <source>Draw more slowly</source>
        <translation>描画を遅く</translation>
    </message>
    <message>
        <source>Draw faster</source>
        <translation>描画を速く</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>再開</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>一時停止</translation>
    </message>
    <message>
        <source>Speed %1</source>
        <translation>速さ %1</translation>
    </message>
    <message>
        <source>Paused %1</source>
        <translation>一時停止中&#x3000;%1</translation>
    </message>
    <message>
        <source>the saved speed &apos;%1&apos; cannot be used; %2 is used</source>
        <translation>保存された速さ &apos;%1&apos; は使えません。%2 にします</translation>
    </message>
    <message>
        <source>the saved speed %1 is not one of the offered speeds; %2 is used</source>
        <translation>保存された速さ %1 は選べる速さのどれでもありません。%2 にします</translation>
    </message>
</context>
<context>
    <name>course::RunOptions</name>
    <message>
        <source>--speed: &apos;%1&apos; is not one of the offered speeds 1/4, 1/2, 1, 2, 4, 8, 16</source>
        <translation>--speed: &apos;%1&apos; は選べる速さ 1/4、1/2、1、2、4、8、16 のどれでもありません</translation>
    </message>
    <message>
        <source>pace the live page F times as fast for this run, F one of 1/4, 1/2, 1, 2,
4, 8, 16; without it the speed last chosen with [ and ]
(default 1)</source>
        <translation>今回だけ実演ページを F 倍の速さで描く。F は 1/4、
1/2、1、2、4、8、16 のどれか。なければ前回 [ と ] で
選んだ速さ (既定は 1)</translation>
    </message>
    <message>
        <source>pace the run F times as fast for this run, F one of 1/4, 1/2, 1, 2,
4, 8, 16; without it the speed last chosen with [ and ]
(default 1)</source>
        <translation>今回だけ計算を F 倍の速さで描く。F は 1/4、1/2、1、
2、4、8、16 のどれか。なければ前回 [ と ] で選んだ
速さ (既定は 1)</translation>
    </message>
    <message>
        <source>start the live page paused: P runs it, N steps it curve by curve</source>
        <translation>実演ページを一時停止で始める: P で動かし、N で
曲線ごとに進める</translation>
    </message>
    <message>
        <source>start the run paused: P runs it, N steps it curve by curve</source>
        <translation>計算を一時停止で始める: P で動かし、N で曲線ごと
に進める</translation>
    </message>
</context>
<context>
    <name>course::ShellWindow</name>
    <message>
        <source>Zoom in</source>
        <translation>拡大</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>縮小</translation>
    </message>
    <message>
        <source>Back to the original size</source>
        <translation>元の大きさに戻す</translation>
    </message>
    <message>
        <source>Zoom in and out</source>
        <translation>拡大・縮小</translation>
    </message>
    <message>
        <source>Ctrl + wheel</source>
        <translation>Ctrl + ホイール</translation>
    </message>
    <message>
        <source>Full screen on and off</source>
        <translation>全画面表示の切り替え</translation>
    </message>
</context>
<context>
    <name>course::StagedFile</name>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 を書けません: %2</translation>
    </message>
    <message>
        <source>nothing was staged</source>
        <translation>用意された内容がありません</translation>
    </message>
</context>
<context>
    <name>oriel</name>
    <message>
        <source>A Gaussian wave packet in a harmonic oscillator, evolved exactly: three pages.</source>
        <translation>調和振動子の中のガウス型波束の厳密な時間発展: 3 ページ。</translation>
    </message>
</context>
<context>
    <name>quillet</name>
    <message>
        <source>The Numerov method for y&apos;&apos; = v(x) y, its error and the radial equations: four pages.</source>
        <translation>y&apos;&apos; = v(x) y のヌメロフ法、その誤差と動径方程式: 4 ページ。</translation>
    </message>
</context>
<context>
    <name>sorrel</name>
    <message>
        <source>the computation failed: %1</source>
        <translation>計算に失敗しました: %1</translation>
    </message>
    <message>
        <source>the computation was stopped:</source>
        <translation>計算を打ち切りました:</translation>
    </message>
    <message numerus="yes">
        <source>The 1s orbital has %n node(s).</source>
        <translation>
            <numerusform>1s 軌道に節が %n 個あります。</numerusform>
        </translation>
    </message>
    <message>
        <source>It converged to another solution that is not 1s.</source>
        <translation>1s ではない別の解に収束しました。</translation>
    </message>
    <message>
        <source>(grid r ≤ %1, matching point r = %2)</source>
        <translation>(格子 r ≦ %1，接続点 r = %2)</translation>
    </message>
    <message>
        <source>ε₁ₛ = %1 ≥ 0.</source>
        <translation>ε₁ₛ = %1 ≧ 0 です。</translation>
    </message>
    <message>
        <source>A bound 1s orbital does not fit in the grid r ≤ %1.</source>
        <translation>束縛された 1s 軌道が格子 r ≦ %1 に収まりません。</translation>
    </message>
    <message>
        <source>H⁻ is bound only very weakly (ε₁ₛ ≈ −0.046), so its orbital reaches beyond this grid.</source>
        <translation>H⁻ は束縛がごく弱く (ε₁ₛ ≈ −0.046)，軌道がこの格子の外まで広がるためです。</translation>
    </message>
    <message numerus="yes">
        <source>ε₁ₛ did not converge in %n cycle(s).</source>
        <translation>
            <numerusform>%n サイクルで ε₁ₛ が収束しませんでした。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>ε₁ₛ of cycle %1 did not converge in %n step(s).</source>
        <translation>
            <numerusform>サイクル %1 の ε₁ₛ が %n ステップで収束しませんでした。</numerusform>
        </translation>
    </message>
    <message>
        <source>print the table of the run as text and exit
(no window, no waits, no sounds)</source>
        <translation>計算の表を文字で出力して終了する
(ウィンドウ、待ち、音なし)</translation>
    </message>
    <message>
        <source>nuclear charge 1 to 10 (default 2, helium): the two-electron
ion H⁻, He, Li⁺ … Ne⁸⁺; in the window the keys 1 to 9 and 0
choose it and start again</source>
        <translation>核電荷 1～10 (既定は 2、ヘリウム): 2 電子イオン H⁻、He、
Li⁺ … Ne⁸⁺。ウィンドウではキー 1～9 と 0 で選んで
計算し直す</translation>
    </message>
    <message>
        <source>--Z: &apos;%1&apos; is not a whole number from 1 to 10</source>
        <translation>--Z: &apos;%1&apos; は 1 から 10 までの整数ではありません</translation>
    </message>
    <message>
        <source>precise mode: after the run, compute it again on grids 1.5
times as long with steps h, h/2, h/4 to tight tolerances,
extrapolate to h → 0 and print the result beside the
Hartree–Fock limit (the window, the exports, --table and
--export-data, which adds precise.csv); the key E in the
window switches it</source>
        <translation>精密モード: 計算の後、1.5 倍の長さの格子で刻み h、h/2、h/4
により厳しい許容誤差で計算し直し、h → 0 へ外挿した結果を
ハートリー・フォック極限と並べて示す (ウィンドウ、
書き出し、--table、--export-data。後者は
precise.csv を加える)。ウィンドウではキー E で切り替える</translation>
    </message>
    <message>
        <source>compute the whole run without waits or sounds and write
the finished window as a PNG picture</source>
        <translation>計算全体を待ちも音もなしに行い、出来上がった
ウィンドウを PNG 画像として書く</translation>
    </message>
    <message>
        <source>--export-png needs a file name</source>
        <translation>--export-png にはファイル名が必要です</translation>
    </message>
    <message>
        <source>with --export-png: N pixels per window pixel (1 to 4,
default 1; 2 gives a picture for high-density screens)</source>
        <translation>ウィンドウの 1 ピクセルを N ピクセルにする (--export-png
とともに。1～4、既定は 1。2 で高密度画面向けの画像)</translation>
    </message>
    <message>
        <source>--scale: &apos;%1&apos; is not one of 1, 2, 3, 4</source>
        <translation>--scale: &apos;%1&apos; は 1、2、3、4 のどれでもありません</translation>
    </message>
    <message>
        <source>as --export-png, but a one-page PDF with real text
(both exports may be given together)</source>
        <translation>文字を含む 1 ページの PDF として書く (ほかは
--export-png と同じ。両方の書き出しを一緒に指定してもよい)</translation>
    </message>
    <message>
        <source>--export-pdf needs a file name</source>
        <translation>--export-pdf にはファイル名が必要です</translation>
    </message>
    <message>
        <source>compute the whole run without waits or sounds and write its
figures as CSV files into DIR (made if missing): steps.csv,
cycles.csv, summary.csv, orbitals.csv, potentials.csv
(and precise.csv with --precise);
files already there are refused; with --table both</source>
        <translation>計算全体を待ちも音もなしに行い、その数値を CSV ファイル
として DIR (なければ作る) に書く: steps.csv, cycles.csv,
summary.csv, orbitals.csv, potentials.csv
(--precise では precise.csv も)。
既にあるファイルは拒否する。--table があれば両方</translation>
    </message>
    <message>
        <source>--export-data needs a folder</source>
        <translation>--export-data にはフォルダーが必要です</translation>
    </message>
    <message>
        <source>with --export-data: replace files already in DIR</source>
        <translation>DIR に既にあるファイルを置き換える (--export-data
とともに)</translation>
    </message>
    <message>
        <source>--force applies only to --export-data</source>
        <translation>--force は --export-data にだけ使えます</translation>
    </message>
    <message>
        <source>--export-data cannot be combined with --export-png or --export-pdf</source>
        <translation>--export-data は --export-png や --export-pdf と一緒に使えません</translation>
    </message>
    <message>
        <source>--table cannot be combined with --export-png or --export-pdf</source>
        <translation>--table は --export-png や --export-pdf と一緒に使えません</translation>
    </message>
    <message>
        <source>--scale applies only to --export-png</source>
        <translation>--scale は --export-png にだけ使えます</translation>
    </message>
    <message>
        <source>Without options the window opens and the run is drawn at its normal pace
(one plotted point per 1/256 s); Escape or closing the window ends it.
While it runs, P pauses and resumes it, N (or the right arrow) draws the next
curve and pauses again, [ and ] make it slower or faster (x1/4 to x16; the
choice is kept for the next start).

Exit status: 0 on success, 1 when a file cannot be written, the computation
fails or there is no display for the window, 2 for a command line that cannot
be used.</source>
        <translation>オプションがなければ、ウィンドウが開き、計算がふだんの速さ (1/256 秒に
1 点) で描かれます。Escape かウィンドウを閉じると終わります。
計算中は P で一時停止と再開、N (または右矢印) で次の曲線まで描いて
また止め、[ と ] で遅く・速く (x1/4～x16。選んだ速さは次の起動まで
覚えています) します。

終了状態: 成功なら 0、ファイルを書けないとき、計算に失敗したとき、
ウィンドウを開くディスプレイがないときは 1、使えないコマンド行には 2。</translation>
    </message>
    <message>
        <source>Hartree computation of the helium ground state (or of another two-electron ion),
drawn as it runs.</source>
        <translation>ヘリウムの基底状態 (またはほかの 2 電子イオン) のハートリー計算を、
計算しながら描きます。</translation>
    </message>
    <message>
        <source>cannot write %1: the picture cannot be encoded</source>
        <translation>%1 を書けません: 画像を符号化できません</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 を書けません: %2</translation>
    </message>
    <message>
        <source>the computation could not go on: %1</source>
        <translation>計算を続けられませんでした: %1</translation>
    </message>
</context>
<context>
    <name>sorrel::SorrelWindow</name>
    <message>
        <source>Get the source files of this software</source>
        <translation>このソフトのソースファイルを入手する</translation>
    </message>
    <message>
        <source>Could not open the source files</source>
        <translation>ソースファイルを開けませんでした</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Compute again with the nuclear charge Z = 1 … 10 (0 is 10)</source>
        <translation>核電荷 Z = 1 … 10 で計算し直す（0 は 10）</translation>
    </message>
    <message>
        <source>Precise mode (extrapolated to h → 0, beside the Hartree–Fock limit) on and off, computed again</source>
        <translation>精密モード (h → 0 へ外挿，ハートリー・フォック極限と比較) の切り替え，計算し直す</translation>
    </message>
    <message>
        <source>Open the source files</source>
        <translation>ソースファイルを開く</translation>
    </message>
    <message>
        <source>Could not go on computing: %1</source>
        <translation>計算を続けられませんでした: %1</translation>
    </message>
</context>
<context>
    <name>tessera</name>
    <message>
        <source>The time-dependent Schrödinger equation by the Crank–Nicolson scheme: four pages, the last one live.</source>
        <translation>クランク・ニコルソン法による時間に依存するシュレーディンガー方程式:
4 ページ、最後のページは実演。</translation>
    </message>
    <message>
        <source>print the live page&apos;s Crank–Nicolson run over ten periods as
text (per period: t, the norm, its largest change and the
largest density error) and exit</source>
        <translation>実演ページのクランク・ニコルソン法の計算を 10 周期分、
文字で出力して終了する (周期ごとに t、ノルム、その最大の
変化、密度の最大誤差)</translation>
    </message>
    <message>
        <source>compute the live page&apos;s run without waiting and write its
figures as CSV files into DIR (made if missing) and exit:
parameters.csv, summary.csv, densities.csv; files already
there are refused unless --force</source>
        <translation>実演ページの計算を待たずに行い、その数値を CSV ファイルと
して DIR (なければ作る) に書いて終了する: parameters.csv,
summary.csv, densities.csv。既にあるファイルは --force が
なければ拒否する</translation>
    </message>
    <message>
        <source>--export-data needs a folder</source>
        <translation>--export-data にはフォルダーが必要です</translation>
    </message>
    <message>
        <source>%1 cannot be combined with --export-pdf, --export-png or --page</source>
        <translation>%1 は --export-pdf、--export-png、--page と一緒に使えません</translation>
    </message>
    <message>
        <source>cannot write the table to standard output</source>
        <translation>表を標準出力に書けません</translation>
    </message>
</context>
<context>
    <name>tessera::PacketControls</name>
    <message>
        <source>Switch between the explicit and the Crank–Nicolson scheme and compute again (E)</source>
        <translation>陽解法とクランク・ニコルソン法を切り替えて計算し直す (E)</translation>
    </message>
    <message>
        <source>Halve the time step and compute again (H)</source>
        <translation>時間の刻みを半分にして計算し直す (H)</translation>
    </message>
    <message>
        <source>Double the time step and compute again (D)</source>
        <translation>時間の刻みを 2 倍にして計算し直す (D)</translation>
    </message>
    <message>
        <source>Back to Crank–Nicolson</source>
        <translation>クランク・ニコルソン法に戻す</translation>
    </message>
    <message>
        <source>Explicit scheme</source>
        <translation>陽解法にする</translation>
    </message>
    <message>
        <source>Switch to the explicit / the Crank–Nicolson scheme and compute again</source>
        <translation>陽解法 / クランク・ニコルソン法に切り替えて計算し直す</translation>
    </message>
    <message>
        <source>Halve ⊿t and compute again</source>
        <translation>⊿t を半分にして計算し直す</translation>
    </message>
    <message>
        <source>Double ⊿t and compute again</source>
        <translation>⊿t を 2 倍にして計算し直す</translation>
    </message>
</context>
<context>
    <name>tessera::TesseraDocument</name>
    <message>
        <source>On the last page: </source>
        <translation>最後のページで</translation>
    </message>
</context>
</TS>
