#include "count_words.h"
#include "draw.h"

#include <iterator>

namespace {

// Every box has a fixed size and place, so the browser may skip the layout and
// painting of the boxes off screen (content-visibility), and a long run opens
// at once; the marks of a box are drawn inside it, since it clips them.
const char* const kHead = R"page(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width">
<title>wrd: the run, call by call</title>
<style>
body{font:14px sans-serif;margin:16px;color:#111}
nav{display:flex;gap:6px;align-items:center;margin:8px 0}
nav input{flex:0 1 360px}
#call{font-family:monospace;min-height:2.6em;margin:8px 0}
#list{position:relative}
#list svg{position:absolute;left:0;top:0;pointer-events:none}
[hidden]{display:none!important}
.node,.marker{position:absolute;box-sizing:border-box;font:12px monospace;background:#fff}
.node{content-visibility:auto;contain:strict;border:1px solid #333;display:grid;grid-template-columns:88px 1fr;grid-template-rows:1fr 1fr}
.node span{padding:0 6px;line-height:21px;white-space:pre;overflow:hidden;border-top:1px solid #333}
.node .address{grid-column:1/3;border-top:0;color:#555}
.node .word{font-weight:bold;border-left:1px solid #333}
.node span,#call{direction:ltr;unicode-bidi:bidi-override}
.marker{text-align:center;padding-top:4px}
.null{border:1px solid #333;border-radius:6px;padding-top:13px}
.node[data-first]{outline:3px solid #2a6fdb}
.node[data-compared]{background:#fff3b0}
.node[data-compared]::after{content:attr(data-compared);position:absolute;right:3px;top:2px;
 background:#b58900;color:#fff;border-radius:8px;min-width:16px;text-align:center;font:11px/16px sans-serif}
.node[data-touched]{background:#c8f0c8}
path{fill:none;stroke:#333}
.legend{font-size:12px;color:#444}
.key{display:inline-block;width:14px;height:10px;border:1px solid #333;margin:0 4px 0 12px}
.key.first{outline:3px solid #2a6fdb;border:0;margin-left:4px}.key.compared{background:#fff3b0}.key.touched{background:#c8f0c8}
</style>
</head>
<body>
<h1>The run, one call to add_word at a time</h1>
<nav><button id="first" title="Home">First</button><button id="prev" title="&#x2190;">&#x25C0; Previous</button>
<input id="slider" type="range" min="0" value="0" aria-label="step"><button id="next" title="&#x2192;">Next &#x25B6;</button>
<button id="last" title="End">Last</button><span id="at"></span></nav>
<p id="call"></p>
<p class="legend"><span class="key first"></span> the node the start pointer holds
<span class="key compared"></span> compared by this call, in order
<span class="key touched"></span> raised or placed by this call</p>
)page";

// The page's behaviour: `S` lists each call's node by its index in the report,
// so the k-th call's node is new exactly when its count becomes 1, and the
// nodes that exist are always the last `made` of the report's order.
const char* const kScript = R"page(
const boxes=[...document.querySelectorAll('#list .node')],links=[...document.querySelectorAll('#list .link')];
const N=boxes.length,count=new Array(N).fill(0),slider=document.getElementById('slider');
const startBox=document.getElementById('start'),startLink=document.getElementById('start-link');
const nullBox=document.getElementById('null');
let made=0,at=0;
slider.max=S.length;
const counts=boxes.map(el=>el.querySelector('.count'));
function box(el){const s=el.style;return{x:parseInt(s.left),y:parseInt(s.top),w:parseInt(s.width),h:parseInt(s.height)};}
function arrow(f,t){
  const sx=f.x+f.w/2,sy=f.y+f.h,tx=t.x+t.w/2,ty=t.y,b=ty>sy?Math.min(ty-sy-4,60):60;
  return `M${sx} ${sy}C${sx} ${sy+b} ${tx} ${ty-b} ${tx} ${ty}`;
}
function go(k){
  k=Math.max(0,Math.min(S.length,Math.floor(k)||0));
  while(at<k){if(count[S[at++]]++===0)made++;}
  while(at>k){if(--count[S[--at]]===0)made--;}
  const first=made?N-made:-1,p=at?S[at-1]:-1,isNew=at>0&&count[p]===1;
  const from=isNew?first+1:first,to=isNew?N-1:p;
  boxes.forEach((el,i)=>{
    if(el.dataset.count!=count[i]){
      el.toggleAttribute('hidden',count[i]===0);
      links[i].toggleAttribute('hidden',count[i]===0);
      el.dataset.count=count[i];
      counts[i].textContent=count[i]+'\u00D7';
    }
    el.toggleAttribute('data-first',i===first);
    el.toggleAttribute('data-touched',i===p);
    if(at>0&&i>=from&&i<=to)el.dataset.compared=i-from+1;else if('compared' in el.dataset)delete el.dataset.compared;
  });
  document.getElementById('start-address').textContent=first<0?'NULL':boxes[first].dataset.address;
  startLink.setAttribute('d',arrow(box(startBox),box(first<0?nullBox:boxes[first])));
  slider.value=at;
  document.getElementById('at').textContent=`step ${at} of ${S.length}`;
  const compared=at>0?to-from+1:0,nodes=compared===1?'node':'nodes';
  document.getElementById('call').textContent=at===0?'Before the first call: the list is empty, and the start pointer holds NULL.':
    `add_word("${boxes[p].title}")`+(at<=SEEDS?' (a seed word)':'')+`: compared ${compared} ${nodes}; `+
    (isNew?'no match, so a new node was placed first.':`a match, so its count was raised to ${count[p]}.`);
  if(location.hash!=='#step='+at)history.replaceState(null,'','#step='+at);
}
function fromHash(){const m=/step=(\d+)/.exec(location.hash);go(m?+m[1]:0);}
document.getElementById('first').onclick=()=>go(0);
document.getElementById('prev').onclick=()=>go(at-1);
document.getElementById('next').onclick=()=>go(at+1);
document.getElementById('last').onclick=()=>go(S.length);
slider.oninput=()=>go(+slider.value);
addEventListener('hashchange',fromHash);
addEventListener('keydown',e=>{
  if(e.target===slider)return;
  const k={ArrowRight:at+1,ArrowLeft:at-1,Home:0,End:S.length}[e.key];
  if(k!==undefined){go(k);e.preventDefault();}
});
fromHash();
</script>
</body>
</html>
)page";

std::string px(const char* name, Pixels value)
{
    return std::string(name) + ":" + std::to_string(value) + "px;";
}

std::string placed(const Box& box)
{
    return " style=\"" + px("left", box.x) + px("top", box.y) + px("width", box.width) +
           px("height", box.height) + "\"";
}

} // namespace

// The boxes stand where the final report puts them, since a node never moves;
// the script shows, hides and marks them for the step in the URL.
bool write_html(const Report& report, const std::vector<std::uint32_t>& steps, int columns, std::FILE* out)
{
    if (report.nodes.empty()) {
        return false; // no run gives it: the seed words make the list
    }
    const Layout layout = lay_out(report, columns);
    const std::size_t n = report.nodes.size();
    Sink sink{out};
    sink.put(kHead);
    sink.put("<div id=\"list\" style=\"" + px("width", layout.width) + px("height", layout.height) + "\">\n");
    sink.put("<svg width=\"" + std::to_string(layout.width) + "\" height=\"" + std::to_string(layout.height) +
             "\"><defs><marker id=\"head\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" "
             "markerWidth=\"8\" markerHeight=\"8\" markerUnits=\"userSpaceOnUse\" orient=\"auto\">"
             "<path d=\"M0 0L10 5L0 10z\" style=\"fill:#333;stroke:none\"/></marker></defs>\n"
             "<g marker-end=\"url(#head)\"><path id=\"start-link\"/>\n");
    for (std::size_t i = 0; i < n; ++i) {
        sink.put("<path class=\"link\" hidden d=\"" +
                 arrow_path(layout.boxes[i], layout.boxes[layout.next[i]]) + "\"/>\n");
    }
    sink.put("</g></svg>\n");
    sink.put("<div id=\"start\" class=\"marker\"" + placed(layout.start) +
             ">Zacatek seznamu<br><span id=\"start-address\"></span></div>\n");
    sink.put("<div id=\"null\" class=\"marker null\"" + placed(layout.boxes[n]) + ">NULL</div>\n");
    for (std::size_t i = 0; i < n; ++i) {
        const ReportNode& node = report.nodes[i];
        const std::string shown = shown_word(node.word);
        sink.put("<div class=\"node\" data-address=\"" + node.address +
                 "\" data-count=\"0\" hidden title=\"" + xml_escape(shown) + "\"" + placed(layout.boxes[i]) +
                 "><span class=\"address\">" + node.address +
                 "</span><span class=\"count\"></span><span class=\"word\">" +
                 xml_escape(fit_columns(shown, BoxText::kWordColumns)) + "</span></div>\n");
    }
    sink.put("</div>\n<script>\nconst SEEDS=" + std::to_string(std::size(kSeeds)) + ",S=[");
    for (std::size_t k = 0; k < steps.size(); ++k) {
        sink.put((k == 0 ? "" : ",") + std::to_string(steps[k]));
    }
    sink.put(std::string("];") + kScript);
    return sink.ok && std::fflush(out) == 0;
}
