<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja_JP">
<context>
    <name>DriftWords</name>
    <message>
        <source>経過時間 (分)</source>
        <translation>Elapsed time (min)</translation>
    </message>
    <message>
        <source>北へのドリフト (″)</source>
        <translation>Drift toward north (″)</translation>
    </message>
    <message>
        <source>北へのドリフト (px)</source>
        <translation>Drift toward north (px)</translation>
    </message>
    <message>
        <source>極軸のずれ %1 %2 (%3)</source>
        <translation>Polar error %1, %2 (%3)</translation>
    </message>
    <message>
        <source>極軸のずれ %1 %2</source>
        <translation>Polar error %1, %2</translation>
    </message>
    <message>
        <source>極軸のずれ %1 (%2)</source>
        <translation>Polar error %1 (%2)</translation>
    </message>
    <message>
        <source>極軸のずれ %1</source>
        <translation>Polar error %1</translation>
    </message>
    <message>
        <source>北へのドリフト %1″/分 (時角が不明)</source>
        <translation>Drift toward north %1″/min (hour angle unknown)</translation>
    </message>
    <message>
        <source>ドリフトの測定中 (縮尺が不明)</source>
        <translation>Measuring the drift (scale unknown)</translation>
    </message>
    <message>
        <source>ドリフトの測定中</source>
        <translation>Measuring the drift</translation>
    </message>
    <message>
        <source>使用 %1/%2 枚</source>
        <translation>%1/%2 images used</translation>
    </message>
    <message>
        <source>十分な測定</source>
        <translation>measured enough</translation>
    </message>
    <message>
        <source>あと約 %1 分</source>
        <translation>about %1 min to go</translation>
    </message>
    <message>
        <source>写真の縮尺（″/ピクセル）が分からないため、ずれの大きさを出せません。縮尺を入力してください。</source>
        <translation>The image scale (″/pixel) is unknown, so the size of the error cannot be given. Please enter the scale.</translation>
    </message>
    <message>
        <source>星の時角が分からないため、方位と高度のどちらのずれか決められません。時角を入力してください。</source>
        <translation>The star&apos;s hour angle is unknown, so it cannot be told whether the error is in azimuth or altitude. Please enter the hour angle.</translation>
    </message>
    <message>
        <source>この星は方位と高度のずれが混ざる位置にあります。子午線に近い星（方位）か、東か西の地平線に近い星（高度）で測ってください。</source>
        <translation>This star sits where azimuth and altitude errors mix. Measure a star near the meridian (azimuth) or near the eastern or western horizon (altitude).</translation>
    </message>
    <message>
        <source>ずれの向きが決められません。もう少し測ってください。</source>
        <translation>The way the axis is off cannot be told yet. Please measure a little longer.</translation>
    </message>
    <message>
        <source>ずれは測定の誤差と同じ程度です。このままで良いか、もう少し測って確かめてください。</source>
        <translation>The error is about as large as the measurement&apos;s uncertainty. It may be fine as it is; measure a little longer to make sure.</translation>
    </message>
    <message>
        <source>測定中です。画像が増えるまでお待ちください。</source>
        <translation>Measuring. Please wait for more images.</translation>
    </message>
    <message>
        <source>十分です</source>
        <translation>Enough</translation>
    </message>
    <message>
        <source>測定中</source>
        <translation>Measuring</translation>
    </message>
    <message>
        <source>方位</source>
        <translation>azimuth</translation>
    </message>
    <message>
        <source>高度</source>
        <translation>altitude</translation>
    </message>
    <message>
        <source>混合</source>
        <translation>mixed</translation>
    </message>
    <message>
        <source>東</source>
        <translation>east</translation>
    </message>
    <message>
        <source>西</source>
        <translation>west</translation>
    </message>
    <message>
        <source>高すぎ</source>
        <translation>too high</translation>
    </message>
    <message>
        <source>低すぎ</source>
        <translation>too low</translation>
    </message>
    <message>
        <source>%1 分</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>区間 %1: %2</source>
        <translation>Segment %1: %2</translation>
    </message>
    <message>
        <source>  %1 枚, %2 分</source>
        <translation>  %1 images, %2 min</translation>
    </message>
    <message>
        <source>画像の北を角度で入力するか、校正してください</source>
        <translation>Type north&apos;s angle in the image, or calibrate</translation>
    </message>
    <message>
        <source>北へのドリフト、大気差を除く (″)</source>
        <translation>North drift, refraction removed (″)</translation>
    </message>
    <message>
        <source>北へのドリフト、大気差を除く (px)</source>
        <translation>North drift, refraction removed (px)</translation>
    </message>
    <message>
        <source>方位 %1 ± %2 %3、高度 %4 ± %5 %6 (合計 %7)</source>
        <translation>azimuth %1 ± %2 %3, altitude %4 ± %5 %6 (total %7)</translation>
    </message>
    <message>
        <source>回す前: 方位 %1 %2、高度 %3 %4 (合計 %5)</source>
        <translation>before the turn: azimuth %1 %2, altitude %3 %4 (total %5)</translation>
    </message>
    <message>
        <source>ノブ: 方位 %1、高度 %2</source>
        <translation>knobs: azimuth %1, altitude %2</translation>
    </message>
    <message>
        <source>新しい星が前の星と同じ位置にあります。同じ星ではありませんか?</source>
        <translation>The new star is where the last one was: the same star?</translation>
    </message>
    <message>
        <source>測定点</source>
        <translation>Measured</translation>
    </message>
    <message>
        <source>除外した点</source>
        <translation>Left out</translation>
    </message>
    <message>
        <source>前の区間</source>
        <translation>Earlier segment</translation>
    </message>
    <message>
        <source>近似直線 ±1 SE</source>
        <translation>Fit ±1 SE</translation>
    </message>
    <message>
        <source>測定点はまだありません</source>
        <translation>No measurements yet</translation>
    </message>
    <message>
        <source>%1 と %2 は分点 %3 (%4) の座標です。最初の画像の日付の座標に換算しました。</source>
        <translation>%1 and %2 are of equinox %3 (%4): precessed to the date of the first image.</translation>
    </message>
    <message>
        <source>%1 &apos;%2&apos; は分点の年として読めないため、座標を観測日のものとして読みました。</source>
        <translation>%1 &apos;%2&apos; is not an equinox year: the pointing was read as of the date.</translation>
    </message>
    <message>
        <source>画像 %1 (%2) から星を見失っています。見つかるまで測定に使いません。</source>
        <translation>The star was lost at image %1 (%2): its images are left out until it is found.</translation>
    </message>
    <message>
        <source>画像 %1 (%2) で見失った星を、画像 %3 (%4) で位置・大きさ・周りの星から見つけ直しました。</source>
        <translation>The star lost at image %1 (%2) was found again at image %3 (%4) by its place, width and neighbours.</translation>
    </message>
    <message>
        <source>%1 枚の画像で星が暗くなりました (雲?)。測定に使いません。</source>
        <translation>The star was faint in %1 image(s) (clouds?): they are left out.</translation>
    </message>
    <message>
        <source>星が飽和しています。露出を短くするか、暗めの星を選ぶとよく測れます。</source>
        <translation>The star is saturated: a shorter exposure or a fainter star measures better.</translation>
    </message>
    <message>
        <source>測定点のばらつき (%1″) が星の大きさ (%2″) を超えています。結果は信用できません。</source>
        <translation>The measurements scatter by %1″, more than the star&apos;s width (%2″): the answer is not trusted.</translation>
    </message>
    <message>
        <source>子午線に近い星（時角 0 時前後、赤緯 0〜20°）に向けて中央に入れ、クリックしてください。</source>
        <translation>Slew to a star near the meridian (hour angle about 0 h, declination 0–20°), centre it and click it.</translation>
    </message>
    <message>
        <source>画像のどちらが北か分からないため、ずれの向きとノブの回し方は出せません。北の角度を入力するか、プレートソルブした画像を使うか、校正してください。</source>
        <translation>Where north lies in the image is not known, so neither the error’s direction nor a knob turn can be given. Type north’s angle, use plate-solved images, or calibrate.</translation>
    </message>
    <message>
        <source>星が目標に届きました。ノブを止めて「新しい区間」を押してください。</source>
        <translation>The star has reached the target. Stop turning the knob and press “New segment”.</translation>
    </message>
    <message>
        <source>次は高度です。東か西の低い星（時角 4〜8 時）に向けて中央に入れてください。</source>
        <translation>Next, the altitude: slew to a star low in the east or west (hour angle 4–8 h) and centre it.</translation>
    </message>
    <message>
        <source>両方のノブを回しました。子午線に近い星に戻して、もう一度測って確かめてください。</source>
        <translation>Both knobs are turned. Slew back to a star near the meridian and measure again to check.</translation>
    </message>
    <message>
        <source>極軸は方位・高度とも 1′ 以内に合っています。</source>
        <translation>The polar axis is within 1′ in both azimuth and altitude.</translation>
    </message>
    <message>
        <source>測定中 %1 — あと約 %2 分</source>
        <translation>Measuring %1 — ~%2 min left</translation>
    </message>
    <message>
        <source>測定中 %1</source>
        <translation>Measuring %1</translation>
    </message>
    <message>
        <source>北</source>
        <comment>a hand controller&apos;s button</comment>
        <translation>North</translation>
    </message>
    <message>
        <source>南</source>
        <comment>a hand controller&apos;s button</comment>
        <translation>South</translation>
    </message>
    <message>
        <source>東</source>
        <comment>a hand controller&apos;s button</comment>
        <translation>East</translation>
    </message>
    <message>
        <source>西</source>
        <comment>a hand controller&apos;s button</comment>
        <translation>West</translation>
    </message>
    <message>
        <source>今、手元のコントローラーの「%1」ボタンを1〜2秒押してください。</source>
        <translation>Press the hand controller’s “%1” button for 1–2 s now.</translation>
    </message>
    <message>
        <source>校正できました: 画像の北は %1° ± %2° です。</source>
        <translation>Calibrated: north in the image is at %1° ± %2°.</translation>
    </message>
    <message>
        <source>%1 枚の間に星の跳びが見つかりませんでした。もう一度校正してください。</source>
        <translation>No jump of the star within %1 images. Calibrate again.</translation>
    </message>
    <message>
        <source>星の跳びが %1 px と小さすぎました。ボタンを長めに、または速い速度で押してください。</source>
        <translation>The star jumped only %1 px, too little. Press the button longer, or at a faster speed.</translation>
    </message>
    <message>
        <source>校正のあと星を見失いました。星を中央に戻し、遅い速度でもう一度校正してください。</source>
        <translation>The star was lost after the calibration move. Re-centre it and calibrate again at a slower speed.</translation>
    </message>
    <message>
        <source>星の跳びが二度ありました。ボタンは一度だけ押して、もう一度校正してください。</source>
        <translation>The star jumped twice. Press the button only once, and calibrate again.</translation>
    </message>
    <message>
        <source>極軸が西にずれています。方位ノブで東へ約 %1 回してください。</source>
        <translation>The polar axis is off to the west. Turn the azimuth knob about %1 east.</translation>
    </message>
    <message>
        <source>極軸が東にずれています。方位ノブで西へ約 %1 回してください。</source>
        <translation>The polar axis is off to the east. Turn the azimuth knob about %1 west.</translation>
    </message>
    <message>
        <source>極軸が高すぎます。高度ノブで約 %1 下げてください。</source>
        <translation>The polar axis is too high. Lower it about %1 with the altitude knob.</translation>
    </message>
    <message>
        <source>極軸が低すぎます。高度ノブで約 %1 上げてください。</source>
        <translation>The polar axis is too low. Raise it about %1 with the altitude knob.</translation>
    </message>
    <message>
        <source>方位ノブ %1′</source>
        <translation>azimuth knob %1′</translation>
    </message>
    <message>
        <source>「方位ノブを回す」を押して、星が目標に届くまでノブを回してください。</source>
        <translation>Press “Turn the azimuth knob”, then turn the knob until the star reaches the target.</translation>
    </message>
    <message>
        <source>「高度ノブを回す」を押して、星が目標に届くまでノブを回してください。</source>
        <translation>Press “Turn the altitude knob”, then turn the knob until the star reaches the target.</translation>
    </message>
</context>
<context>
    <name>trakora::messages</name>
    <message>
        <source>Fitsファイルがありません</source>
        <translation>No FITS file</translation>
    </message>
    <message>
        <source>File Open Error</source>
        <translation>File Open Error</translation>
    </message>
    <message>
        <source>You do not open the data file</source>
        <translation>No data file is open</translation>
    </message>
    <message>
        <source>objectを設定して下さい</source>
        <translation>Please set the object first</translation>
    </message>
    <message>
        <source>objectが解除されました</source>
        <translation>The object was released</translation>
    </message>
    <message>
        <source>300以下にして下さい</source>
        <translation>Please enter 300 or less</translation>
    </message>
    <message>
        <source>1以上にして下さい</source>
        <translation>Please enter 1 or more</translation>
    </message>
    <message>
        <source>最大測定数%1</source>
        <translation>Max count%1</translation>
    </message>
</context>
<context>
    <name>trakora::ui::AssistantInputs</name>
    <message>
        <source>縮尺 (″/px)</source>
        <translation>Scale (″/px)</translation>
    </message>
    <message>
        <source>赤緯 (°)</source>
        <translation>Declination (°)</translation>
    </message>
    <message>
        <source>時角 (時, 西が正)</source>
        <translation>Hour angle (h, west +)</translation>
    </message>
    <message>
        <source>緯度 (°)</source>
        <translation>Latitude (°)</translation>
    </message>
    <message>
        <source>上</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>下</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>左</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>右</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>ヘッダー</source>
        <translation>header</translation>
    </message>
    <message>
        <source>入力</source>
        <comment>where the value in use came from</comment>
        <translation>typed</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>none</translation>
    </message>
    <message>
        <source>入力</source>
        <comment>the box&apos;s title</comment>
        <translation>Inputs</translation>
    </message>
    <message>
        <source>入力を消してヘッダーの値に戻す</source>
        <translation>Clear the typed value and go back to the header&apos;s</translation>
    </message>
    <message>
        <source>鏡像</source>
        <translation>Mirrored</translation>
    </message>
    <message>
        <source>画像の北</source>
        <translation>North in the image</translation>
    </message>
    <message>
        <source>不明</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>既定</source>
        <translation>default</translation>
    </message>
    <message>
        <source>北</source>
        <translation>north</translation>
    </message>
    <message>
        <source>南</source>
        <translation>south</translation>
    </message>
    <message>
        <source>東</source>
        <translation>east</translation>
    </message>
    <message>
        <source>西</source>
        <translation>west</translation>
    </message>
    <message>
        <source>区間の始めに手元のコントローラーの「%1」ボタンを1〜2秒押してください</source>
        <translation>At the start of the segment, press the hand controller&apos;s %1 button for 1–2 seconds</translation>
    </message>
    <message>
        <source>気温 (°C)</source>
        <translation>Temperature (°C)</translation>
    </message>
    <message>
        <source>気圧 (hPa)</source>
        <translation>Pressure (hPa)</translation>
    </message>
    <message>
        <source>なし</source>
        <comment>no calibration move</comment>
        <translation>none</translation>
    </message>
    <message>
        <source>手元のコントローラーで望遠鏡を動かし、星の跳びから北の向きを求めます</source>
        <translation>Move the telescope with the hand controller: north&apos;s direction comes from the star&apos;s jump</translation>
    </message>
    <message>
        <source>校正</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <source>校正</source>
        <comment>north&apos;s angle from the calibration move</comment>
        <translation>calibration</translation>
    </message>
    <message>
        <source>星の動き</source>
        <comment>north&apos;s angle refined from the star&apos;s motion</comment>
        <translation>star&apos;s motion</translation>
    </message>
    <message>
        <source>目安</source>
        <comment>a coarse choice of north&apos;s side</comment>
        <translation>coarse</translation>
    </message>
</context>
<context>
    <name>trakora::ui::DriftAssistantWindow</name>
    <message>
        <source>星を見失いました</source>
        <translation>Star lost</translation>
    </message>
    <message>
        <source>ホットピクセルの疑い</source>
        <translation>Possibly a hot pixel</translation>
    </message>
    <message>
        <source>星が飽和しています</source>
        <translation>Star saturated</translation>
    </message>
    <message>
        <source>SN 比が低すぎます</source>
        <translation>SNR too low</translation>
    </message>
    <message>
        <source>星が画像の端にかかっています</source>
        <translation>Star at the image&apos;s edge</translation>
    </message>
    <message>
        <source>・</source>
        <comment>between two warnings</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>ドリフト解析 - Trakora</source>
        <translation>Drift analysis - Trakora</translation>
    </message>
    <message>
        <source>測定の質</source>
        <translation>Measurement quality</translation>
    </message>
    <message>
        <source>シーイング (残差)</source>
        <translation>Seeing (residual)</translation>
    </message>
    <message>
        <source>SN 比</source>
        <translation>SNR</translation>
    </message>
    <message>
        <source>測定時間</source>
        <translation>Measured for</translation>
    </message>
    <message>
        <source>区間ごとのずれ</source>
        <translation>Error by segment</translation>
    </message>
    <message>
        <source>新しい区間</source>
        <translation>New segment</translation>
    </message>
    <message>
        <source>保存…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <source>小文字の .fit / .fits / .fts と .fz / .xisf も対象にする</source>
        <translation>Also take lower-case .fit / .fits / .fts, and .fz / .xisf</translation>
    </message>
    <message>
        <source>天体を設定して測定を始めると、ここに極軸のずれが出ます。</source>
        <translation>Set the object and start measuring; the polar axis&apos;s error will show here.</translation>
    </message>
    <message>
        <source>ドリフト解析の保存</source>
        <translation>Save the drift analysis</translation>
    </message>
    <message>
        <source>PNG 画像 (*.png);;SVG 画像 (*.svg)</source>
        <translation>PNG image (*.png);;SVG image (*.svg)</translation>
    </message>
    <message>
        <source>保存できませんでした。
%1</source>
        <translation>Could not save.
%1</translation>
    </message>
    <message>
        <source>赤経の追尾</source>
        <translation>RA tracking</translation>
    </message>
    <message>
        <source>ピリオディックモーション</source>
        <translation>Periodic error</translation>
    </message>
    <message>
        <source>星の高度</source>
        <translation>Star altitude</translation>
    </message>
    <message>
        <source>大気差のドリフト</source>
        <translation>Refraction drift</translation>
    </message>
    <message>
        <source>″/分</source>
        <comment>arcseconds per minute</comment>
        <translation>″/min</translation>
    </message>
    <message>
        <source>%1″ (周期 %2 分)</source>
        <comment>peak to peak, period</comment>
        <translation>%1″ (period %2 min)</translation>
    </message>
    <message>
        <source>星が暗くなりました (雲?)</source>
        <translation>The star dimmed (clouds?)</translation>
    </message>
    <message>
        <source>星が見つかりません</source>
        <translation>The star is not found</translation>
    </message>
    <message>
        <source>新しい星</source>
        <translation>New star</translation>
    </message>
    <message>
        <source>別の星に向けて中央に入れたあと、次の画像からその星を測ります</source>
        <translation>After slewing to another star and centring it: measure that star from the next image</translation>
    </message>
    <message>
        <source>同じ星でノブを回したあと、次の画像から測り直します</source>
        <translation>After turning a knob on the same star: measure again from the next image</translation>
    </message>
    <message>
        <source>校正</source>
        <translation>Calibrate</translation>
    </message>
    <message>
        <source>選んだボタンを手元のコントローラーで1〜2秒押すと、星の跳びから画像の北を知ります</source>
        <translation>Press the chosen button of the hand controller for 1–2 s: the star’s jump tells where north lies in the image</translation>
    </message>
    <message>
        <source>北</source>
        <comment>a hand controller&apos;s button</comment>
        <translation>North</translation>
    </message>
    <message>
        <source>南</source>
        <comment>a hand controller&apos;s button</comment>
        <translation>South</translation>
    </message>
    <message>
        <source>東</source>
        <comment>a hand controller&apos;s button</comment>
        <translation>East</translation>
    </message>
    <message>
        <source>西</source>
        <comment>a hand controller&apos;s button</comment>
        <translation>West</translation>
    </message>
    <message>
        <source>スマホで表示</source>
        <translation>Show on phone</translation>
    </message>
    <message>
        <source>スマホ用のページのアドレスと QR コードを出します</source>
        <translation>Shows the address of the page for a phone, and its QR code</translation>
    </message>
</context>
<context>
    <name>trakora::ui::KnobTargetView</name>
    <message>
        <source>上</source>
        <translation>up</translation>
    </message>
    <message>
        <source>右上</source>
        <translation>up and right</translation>
    </message>
    <message>
        <source>右</source>
        <translation>right</translation>
    </message>
    <message>
        <source>右下</source>
        <translation>down and right</translation>
    </message>
    <message>
        <source>下</source>
        <translation>down</translation>
    </message>
    <message>
        <source>左下</source>
        <translation>down and left</translation>
    </message>
    <message>
        <source>左</source>
        <translation>left</translation>
    </message>
    <message>
        <source>左上</source>
        <translation>up and left</translation>
    </message>
    <message>
        <source>目標に届きました。星を中央に戻し、「新しい区間」で測り直してください。</source>
        <translation>The star has reached the target. Centre the star again and measure anew with “New segment”.</translation>
    </message>
    <message>
        <source>星を見失いました。星を目標の線の近くに戻してください。</source>
        <translation>Star lost. Bring the star back near the line to the target.</translation>
    </message>
    <message>
        <source>あと %1″、%2へ</source>
        <comment>distance to go, the way the star must go</comment>
        <translation>%1″ to go, %2</translation>
    </message>
    <message>
        <source>ノブを回す目標</source>
        <translation>Target for the knob</translation>
    </message>
    <message>
        <source>方位ノブを回す</source>
        <translation>Turn the azimuth knob</translation>
    </message>
    <message>
        <source>高度ノブを回す</source>
        <translation>Turn the altitude knob</translation>
    </message>
    <message>
        <source>ボタンを押してから方位ノブを回すと、星の目標を示します。</source>
        <translation>Press the button, then turn the azimuth knob: the star’s target is shown.</translation>
    </message>
    <message>
        <source>ボタンを押してから高度ノブを回すと、星の目標を示します。</source>
        <translation>Press the button, then turn the altitude knob: the star’s target is shown.</translation>
    </message>
    <message>
        <source>ずれが分かると、ノブを回すときの星の目標をここに示します。</source>
        <translation>Once the error is known, the star’s target for turning the knob is shown here.</translation>
    </message>
    <message>
        <source>画像のどちらが北か分かるまで、ノブの目標は示しません。</source>
        <translation>No knob target until it is known where north lies in the image.</translation>
    </message>
    <message>
        <source>ボタンを押してからノブを回すと、星の目標を示します (%1)</source>
        <translation>Press, then turn the knob: the star’s target is shown (%1)</translation>
    </message>
</context>
<context>
    <name>trakora::ui::MainWindow</name>
    <message>
        <source>CCD画像フォルダー</source>
        <translation>CCD image folder</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>インターバル</source>
        <translation>Interval</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <source>objec setting</source>
        <translation>Set object</translation>
    </message>
    <message>
        <source>最大測定数</source>
        <translation>Max count</translation>
    </message>
    <message>
        <source>ドリフト解析…</source>
        <translation>Drift analysis…</translation>
    </message>
</context>
<context>
    <name>trakora::ui::PhoneDialog</name>
    <message>
        <source>スマホで表示 - Trakora</source>
        <translation>Show on phone - Trakora</translation>
    </message>
    <message>
        <source>スマホ用のページは動いていません。同じネットワークのスマホで見るには、
trakora --serve 0.0.0.0:8080
のように起動してください。ページを開くのに必要なアドレスが出ます (docs/web.md)。</source>
        <translation>The page for a phone is not being served. To see it on a phone on the same network, start the program as
trakora --serve 0.0.0.0:8080
which prints the address that opens the page (docs/web.md).</translation>
    </message>
    <message>
        <source>このアドレスはこのコンピューターの中だけで開けます。スマホから開くには --serve 0.0.0.0:ポート で起動してください。</source>
        <translation>This address opens only on this computer. To open it from a phone, start the program with --serve 0.0.0.0:PORT.</translation>
    </message>
    <message>
        <source>スマホのカメラでコードを読むか、アドレスを開いてください。スマホは同じネットワークにつながっている必要があります。</source>
        <translation>Read the code with the phone&apos;s camera, or open the address. The phone must be on the same network.</translation>
    </message>
</context>
<context>
    <name>trakora::ui::PoleTargetView</name>
    <message>
        <source>極軸の位置</source>
        <translation>Where the polar axis points</translation>
    </message>
    <message>
        <source>方位 (′)</source>
        <translation>azimuth (′)</translation>
    </message>
    <message>
        <source>高度 (′)</source>
        <translation>altitude (′)</translation>
    </message>
    <message>
        <source>西</source>
        <comment>the azimuth axis&apos;s west end</comment>
        <translation>west</translation>
    </message>
    <message>
        <source>東</source>
        <comment>the azimuth axis&apos;s east end</comment>
        <translation>east</translation>
    </message>
    <message>
        <source>高</source>
        <comment>the altitude axis&apos;s upper end</comment>
        <translation>high</translation>
    </message>
    <message>
        <source>低</source>
        <comment>the altitude axis&apos;s lower end</comment>
        <translation>low</translation>
    </message>
    <message>
        <source>合計 %1′</source>
        <translation>total %1′</translation>
    </message>
    <message>
        <source>両方の成分: 子午線付近の星と東か西の低い星を測ると出ます</source>
        <translation>Both components: measure a star near the meridian and one low in the east or west</translation>
    </message>
    <message>
        <source>画像のどちらが北か分かるまで、極軸の位置は示しません。</source>
        <translation>Where the polar axis points is not shown until it is known where north lies in the image.</translation>
    </message>
</context>
<context>
    <name>trakora::ui::WhereToPointView</name>
    <message>
        <source>次に向ける空</source>
        <translation>Where to point next</translation>
    </message>
    <message>
        <source>経度 (東が +)</source>
        <translation>Longitude (east +)</translation>
    </message>
    <message>
        <source>例: 139.7</source>
        <translation>e.g. 139.7</translation>
    </message>
    <message>
        <source>方位</source>
        <translation>Azimuth</translation>
    </message>
    <message>
        <source>高度 (東)</source>
        <translation>Altitude (east)</translation>
    </message>
    <message>
        <source>高度 (西)</source>
        <translation>Altitude (west)</translation>
    </message>
    <message>
        <source>次は方位: 子午線付近の星を測ります</source>
        <translation>Next, azimuth: measure a star near the meridian</translation>
    </message>
    <message>
        <source>次は高度: 東か西の低い星を測ります</source>
        <translation>Next, altitude: measure a star low in the east or west</translation>
    </message>
    <message>
        <source>両方わかりました: ノブを回して子午線の星から測り直します</source>
        <translation>Both known: turn the knobs, then measure again from the meridian star</translation>
    </message>
    <message>
        <source>この緯度では条件に合う空がありません</source>
        <translation>No sky fits at this latitude</translation>
    </message>
    <message>
        <source>時角 %1h・赤緯 %2°・赤経 %3・高度 %4°</source>
        <translation>HA %1h, Dec %2°, RA %3, alt %4°</translation>
    </message>
    <message>
        <source>緯度がわかりません (ヘッダーの SITELAT か緯度の入力)</source>
        <translation>Latitude unknown (SITELAT in the header, or type it)</translation>
    </message>
    <message>
        <source>経度がわかりません: 下に入れてください</source>
        <translation>Longitude unknown: type it below</translation>
    </message>
    <message>
        <source>両方とも 1′ 以内のようです: もう少し測って確かめてください</source>
        <translation>Both look within 1′: measure a little longer to be sure</translation>
    </message>
    <message>
        <source>両方の成分が 1′ 以内です: 極軸合わせは完了です</source>
        <translation>Both components are within 1′: the polar alignment is done</translation>
    </message>
</context>
</TS>
